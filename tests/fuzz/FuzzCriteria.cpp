// The criteria file, then the statistics of a small fixed grade file under the criteria
// read, so that the numbers of the file meet the arithmetic of the points and periods, and
// the level menu's rankings made from them.
#include "FuzzSupport.h"

#include "core/Criteria.h"
#include "menus/Ranking.h"
#include "platform/TextCodec.h"
#include "records/GradeFile.h"
#include "records/Statistics.h"

using namespace tavoro;

namespace {

// Three runs of each of three pupils on levels 0..8, today and on earlier days, quick and
// slow, among them time-outs and the runs of nobody.
const std::vector<char> &GradeImage(const QDate &today)
{
    static const std::vector<char> image = [&] {
        std::vector<char> bytes;
        const double day = records::DateValue(today);
        int i = 0;
        for (int run = 0; run < 3; ++run) {
            for (int pupil = 0; pupil <= 3; ++pupil) {
                for (int level = 0; level <= 8; ++level) {
                    records::GradeRecord r;
                    r.RecDate = day - (i % 4) * 7;
                    r.RecClock = 0.4;
                    r.RecStudent = std::int16_t(pupil);
                    r.RecLevel = std::int16_t(level);
                    r.RecSeconds = (i % 5 == 4) ? core::kNoTime : 10 + 17 * (i % 40);
                    r.RecSchool = records::GradeTextField(QStringLiteral("31415"));
                    char out[records::kGradeRecordSize];
                    records::EncodeGradeRecord(r, out);
                    bytes.insert(bytes.end(), out, out + records::kGradeRecordSize);
                    ++i;
                }
            }
        }
        return bytes;
    }();
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    core::AppState &state = *fuzz::World().state;
    state.criteria = core::Criteria{};
    const int levels = core::ParseCriteria(state, platform::fromCp932(bytes));
    FUZZ_CHECK(levels >= 0 && levels <= core::kMaxLevel);

    const std::vector<char> &image = GradeImage(state.clock().today());
    records::ComputeStatisticsFromImage(state, image.data(),
                                        std::int64_t(image.size()) / records::kGradeRecordSize);
    for (int level = 1; level <= 8; ++level)
        FUZZ_CHECK(state.stats.SchoolBest[level] <= core::kNoTime);
    for (int level = 1; level <= 4; ++level) {
        (void)menus::SortedRankingLines(state, level, menus::ListMode::Times,
                                        menus::PointsOrder::Cumulative, QString());
        (void)menus::SortedRankingLines(state, level, menus::ListMode::Points,
                                        level % 2 ? menus::PointsOrder::Cumulative
                                                  : menus::PointsOrder::Today,
                                        QString());
    }
    return 0;
}
