// The criteria file as start-up takes it, then the statistics of a small fixed grade file
// under the criteria taken, so that the numbers of the file meet the arithmetic of the points
// and periods, and the level menu's rankings made from them.
#include "FuzzSupport.h"

#include "core/Criteria.h"
#include "menus/LevelMenu.h"
#include "menus/Ranking.h"
#include "platform/TextCodec.h"
#include "records/FinishRules.h"
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
    if (const auto refused = core::TakeCriteria(state, platform::fromCp932(bytes))) {
        // A refused file leaves the criteria as they were and start-up ends.
        FUZZ_CHECK(!refused->isEmpty());
        FUZZ_CHECK(state.criteria.TargetTime == core::LevelArray<std::int32_t>{});
        FUZZ_CHECK(state.criteria.PointMultiplier == core::LevelArray<float>{});
        return 0;
    }

    const std::vector<char> &image = GradeImage(state.clock().today());
    records::ComputeStatisticsFromImage(state, image.data(),
                                        std::int64_t(image.size()) / records::kGradeRecordSize);
    for (int level = 1; level <= 8; ++level)
        FUZZ_CHECK(state.stats.SchoolBest[level] <= core::kNoTime);

    // The level menu and the finish screen of pupil 1.
    state.profile.LevelCount = 8;
    state.pupil.CurrentStudent = 1;
    state.pupil.LoginTime = 9 * 3600;
    (void)menus::LevelRulesFor(state);
    (void)records::GoalPanelAllowed(state.criteria);
    for (int level = 1; level <= 8; ++level) {
        (void)menus::CriteriaText(state, level);
        (void)menus::PeriodText(state, level);
        (void)menus::TodayText(state, level);
        (void)menus::TotalText(state, level);
        (void)records::ClearConditionHolds(state, 1, level);
        (void)records::TooMuchConditionHolds(state, 1, level);
        for (const std::int32_t runTime : {0, 7, 45, 6000, core::kNoTime}) {
            const records::FinishPoints points =
                records::FinishRunPoints(state.criteria, level, runTime);
            FUZZ_CHECK(points.points >= 0 && points.points <= 55);
            (void)records::PointsLineText(points, state.criteria.PointMultiplier[level]);
        }
    }
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
