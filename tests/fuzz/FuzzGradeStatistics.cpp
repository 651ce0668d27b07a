// The grade file through the statistics, under the criteria of the demo installation, and
// the level menu's rankings made from them. Input: the bytes of a grade file.
#include "FuzzSupport.h"

#include "core/Criteria.h"
#include "menus/Ranking.h"
#include "records/GradeFile.h"
#include "records/GradeLoad.h"
#include "records/Statistics.h"

using namespace tavoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    core::AppState &state = *fuzz::World().state;
    static const bool criteriaRead = [&] {
        QString text = QStringLiteral("heading,,,,,,,,,,,\r\n");
        for (int level = 1; level <= 10; ++level)
            text += QStringLiteral("%1,%2,100,3,%3,5,50,7,7,,,\r\n")
                        .arg(20 + 5 * level)
                        .arg(10 + level)
                        .arg(level % 3 == 0 ? QStringLiteral("0.7") : QStringLiteral("1"));
        return core::ParseCriteria(state, text) == 10;
    }();
    FUZZ_CHECK(criteriaRead);

    const char *bytes = reinterpret_cast<const char *>(data);
    const std::int64_t count = std::int64_t(size) / records::kGradeRecordSize;
    records::LoadedRecords loaded;
    records::TakeGradeRecords(bytes, count, loaded);
    FUZZ_CHECK(loaded.records.size() <= std::size_t(count));
    FUZZ_CHECK(loaded.LoadedCount <= int(loaded.records.size()));

    records::ComputeStatisticsFromImage(state, bytes, count);
    for (int level = 1; level <= core::kMaxLevel; ++level)
        FUZZ_CHECK(state.stats.SchoolBest[level] <= core::kNoTime);
    for (const records::GradeRecord &r : loaded.records) {
        FUZZ_CHECK(records::GradeRecordInRange(r));
        FUZZ_CHECK(state.stats.PersonalBest(r.RecStudent, r.RecLevel) <= r.RecSeconds ||
                   state.stats.PersonalBest(r.RecStudent, r.RecLevel) == core::kNoTime);
    }
    for (int level = 1; level <= 3; ++level) {
        for (const menus::ListMode mode : {menus::ListMode::Times, menus::ListMode::Points})
            (void)menus::SortedRankingLines(state, level, mode, menus::PointsOrder::Today,
                                            QString());
    }
    return 0;
}
