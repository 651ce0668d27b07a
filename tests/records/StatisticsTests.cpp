// Statistics from the grade file: points, the window of the newest records, periods, best
// times, the load's retries, and the helpers of the rankings.
#include "RecordsWorld.h"

#include "core/Criteria.h"
#include "records/Marks.h"
#include "records/Points.h"
#include "records/SortByKey.h"
#include "records/Statistics.h"
#include "support/ReadOnly.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <random>

using namespace tavoro;
using namespace tavoro::test;
using records::GradeRecord;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// ---- points ------------------------------------------------------------------------------

struct PointsCase {
    std::int32_t target;
    std::int32_t seconds;
    int points;
};

class RunPointsTest : public ::testing::TestWithParam<PointsCase> {};

TEST_P(RunPointsTest, PointsBeforeTheMultiplier)
{
    EXPECT_EQ(records::RunPoints(GetParam().target, GetParam().seconds), GetParam().points)
        << "target " << GetParam().target << " seconds " << GetParam().seconds;
}

INSTANTIATE_TEST_SUITE_P(
    Times, RunPointsTest,
    ::testing::Values(PointsCase{60, 30, 11}, PointsCase{60, 60, 5}, PointsCase{60, 0, 55},
                      PointsCase{60, 61, 4}, PointsCase{60, 119, 4}, PointsCase{60, 120, 1},
                      PointsCase{60, 599, 1}, PointsCase{60, 600, 0}, PointsCase{60, 99999, 0},
                      PointsCase{30, 16, 10}, PointsCase{50, 10, 30},
                      // no target: no points, whatever the time
                      PointsCase{0, 0, 0}, PointsCase{0, 5, 0},
                      // a time-out earns nothing even below a huge target
                      PointsCase{200000, 99998, 0}, PointsCase{200000, 99997, 11}));

struct RecordPointsCase {
    std::int32_t target;
    float multiplier;
    std::int32_t seconds;
    int points;
};

class RecordPointsTest : public ::testing::TestWithParam<RecordPointsCase> {};

TEST_P(RecordPointsTest, PointsOfARecordWithTheMultiplier)
{
    core::Criteria c;
    c.TargetTime[4] = GetParam().target;
    c.PointMultiplier[4] = GetParam().multiplier;
    EXPECT_EQ(records::RecordPoints(c, 4, GetParam().seconds), GetParam().points);
}

INSTANTIATE_TEST_SUITE_P(
    Records, RecordPointsTest,
    ::testing::Values(RecordPointsCase{60, 2.0f, 30, 22}, // 11.25 -> 11, times 2
                      RecordPointsCase{60, 1.5f, 30, 16}, // 11 x 1.5 = 16.5
                      // a time of 1000 s and more counts by its first three digits below the
                      // target: 1500 -> 150, ((2000 - 150) / 2000)^3 x 50 + 5 = 44.57
                      RecordPointsCase{2000, 1.0f, 1500, 44},
                      RecordPointsCase{2000, 1.0f, 1000, 47},
                      RecordPointsCase{2000, 1.0f, 2000, 41},
                      // 6000 s on a target of 1000 s: not a run, but 1 point
                      RecordPointsCase{1000, 1.0f, 6000, 1}, RecordPointsCase{1000, 3.0f, 6000, 3},
                      RecordPointsCase{1000, 1.0f, 99998, 0},
                      // the multiplier's decimal value: 10 points x 0.7 = 7 (not 6.9999999)
                      RecordPointsCase{30, 0.7f, 16, 7}, RecordPointsCase{30, 0.9f, 16, 9},
                      RecordPointsCase{30, 1.1f, 16, 11}, RecordPointsCase{0, 1.0f, 0, 0}));

TEST(EarnedPoints, TakesTheMultiplierAsWritten)
{
    EXPECT_EQ(records::EarnedPoints(0.7f, 10), 7);
    EXPECT_EQ(records::EarnedPoints(1.1f, 10), 11);
    EXPECT_EQ(records::EarnedPoints(0.9f, 10), 9);
    EXPECT_EQ(records::EarnedPoints(0.3f, 10), 3);
    EXPECT_EQ(records::EarnedPoints(1.5f, 11), 16);
    EXPECT_EQ(records::EarnedPoints(1.0f, 55), 55);
    EXPECT_EQ(records::EarnedPoints(0.01f, 55), 0);
    EXPECT_EQ(records::EarnedPoints(0.05f, 20), 1);
    EXPECT_EQ(records::EarnedPoints(0.0f, 55), 0);
    EXPECT_EQ(records::EarnedPoints(1e-12f, 55), 0);
    EXPECT_EQ(records::EarnedPoints(1e12f, 3), 2147483647); // held at the largest count
    EXPECT_EQ(records::EarnedPoints(-1.5f, 11), -16);       // the remainder dropped
    EXPECT_EQ(records::EarnedPoints(std::nanf(""), 11), 0);
}

TEST(RecordPoints, AreTheRunPointsTimesTheMultiplierBelowAThousandSeconds)
{
    core::Criteria c;
    for (const float m : {0.7f, 1.1f, 1.5f, 2.0f, 0.3f, 2.75f, 0.01f, 1e-7f, 3.3e5f, 0.0f}) {
        for (const std::int32_t target : {1, 13, 60, 999}) {
            c.TargetTime[9] = target;
            c.PointMultiplier[9] = m;
            for (std::int32_t t = 0; t < 1000; t += 1 + t / 50) {
                ASSERT_EQ(records::RecordPoints(c, 9, t),
                          records::EarnedPoints(m, records::RunPoints(target, t)))
                    << "multiplier " << m << " target " << target << " time " << t;
            }
        }
    }
}

// ---- the computation ---------------------------------------------------------------------

class Stats : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::Criteria &c = w.state->criteria;
        for (int level = 1; level <= core::kMaxLevel; ++level) {
            c.TargetTime[level] = 60;
            c.PointMultiplier[level] = 1.0f;
            c.PassPeriodDays[level] = core::Variant(7);
            c.OverusePeriodDays[level] = core::Variant(3);
        }
        w.clock.date = QDate(2026, 12, 9);
    }

    void write(const std::vector<GradeRecord> &records, const QByteArray &tail = {})
    {
        writeFile(w.gradePath(), encode(records) + tail);
    }

    void compute()
    {
        ASSERT_TRUE(records::ComputeStatistics(*w.state, loaded));
        ASSERT_TRUE(w.dialogs.calls.empty());
        ASSERT_FALSE(w.programExit.requested);
    }

    const core::Statistics &st() const { return w.state->stats; }

    double today(int offset = 0) const { return day(2026, 12, 9) + offset; }

    RecordsWorld w;
    records::LoadedRecords loaded;
};

} // namespace

TEST_F(Stats, AnEmptyFileLeavesEveryCountAtZeroAndEveryBestAt99999)
{
    write({});
    w.state->stats.TotalRuns(3, 3) = 7;
    w.state->stats.RunsToday(4, 4) = 2;
    compute();
    for (int k = 0; k <= core::kMaxStudent; ++k) {
        for (int l = 0; l <= core::kMaxLevel; ++l) {
            ASSERT_EQ(st().TotalRuns(k, l), 0);
            ASSERT_EQ(st().RunsToday(k, l), 0.0f);
            ASSERT_EQ(st().PersonalBest(k, l), 99999);
        }
    }
    for (int l = 1; l <= core::kMaxLevel; ++l)
        EXPECT_EQ(st().SchoolBest[l], 99999);
    EXPECT_EQ(loaded.LoadedCount, 0);
}

TEST_F(Stats, OnlyTheNewest20000RecordsAreRead)
{
    std::vector<GradeRecord> recs;
    for (int i = 0; i < 5; ++i)
        recs.push_back(makeRecord(1, 1, 10)); // records 1..5: outside the window
    recs.push_back(makeRecord(1, 2, 20));     // record 6 = n - 20000 + 1
    while (recs.size() < 20005)
        recs.push_back(makeRecord(2, 1, 30));
    write(recs);
    compute();
    EXPECT_EQ(loaded.LoadedCount, 20000);
    EXPECT_EQ(st().TotalRuns(1, 1), 0);
    EXPECT_EQ(st().PersonalBest(1, 1), 99999);
    EXPECT_EQ(st().TotalRuns(1, 2), 1);
    EXPECT_EQ(st().PersonalBest(1, 2), 20);
    EXPECT_EQ(st().TotalRuns(2, 1), 19999);
    EXPECT_EQ(st().SchoolBest[1], 30);
}

TEST_F(Stats, PupilZeroAndLevelZeroCountOnlyForTheBest)
{
    write({makeRecord(0, 3, 10), makeRecord(5, 0, 12), makeRecord(5, 3, 50)});
    compute();
    EXPECT_EQ(loaded.LoadedCount, 1);
    EXPECT_EQ(st().PersonalBest(0, 3), 10);
    EXPECT_EQ(st().PersonalBest(5, 0), 12);
    EXPECT_EQ(st().TotalRuns(0, 3), 0);
    EXPECT_EQ(st().TotalPoints(0, 3), 0);
    EXPECT_EQ(st().TotalRuns(5, 0), 0);
    EXPECT_EQ(st().TotalRuns(5, 3), 1);
    EXPECT_EQ(st().SchoolBest[3], 50); // pupil 0 is not a pupil of the school best
}

TEST_F(Stats, ARecordWithANegativeDateCountsOnlyForTheBest)
{
    write({makeRecord(5, 3, 10, -1.0), makeRecord(5, 3, 50)});
    compute();
    EXPECT_EQ(st().TotalRuns(5, 3), 1);
    EXPECT_EQ(st().PersonalBest(5, 3), 10);
}

TEST_F(Stats, SixThousandSecondsIsNoRunButEarnsItsPoints)
{
    w.state->criteria.TargetTime[2] = 1000;
    write({makeRecord(7, 2, 6000), makeRecord(7, 2, 5999)});
    compute();
    EXPECT_EQ(st().TotalRuns(7, 2), 1);
    EXPECT_EQ(st().PeriodRuns(7, 2), 1);
    EXPECT_EQ(st().OveruseRuns(7, 2), 1);
    EXPECT_EQ(st().RunsToday(7, 2), 1.0f);
    EXPECT_EQ(st().TotalPoints(7, 2), 2); // 1 point each
    EXPECT_EQ(st().PeriodPoints(7, 2), 2);
    EXPECT_EQ(st().OveruseEarned(7, 2), 2);
    EXPECT_EQ(st().PointsToday(7, 2), 2);
    EXPECT_EQ(st().PersonalBest(7, 2), 5999);
}

TEST_F(Stats, PeriodsAreTheLastNCalendarDaysTodayIncluded)
{
    // 30 s on a 60 s target: 11 points each.
    write({makeRecord(9, 4, 30, today(0)), makeRecord(9, 4, 30, today(-2)),
           makeRecord(9, 4, 30, today(-3)), makeRecord(9, 4, 30, today(-6)),
           makeRecord(9, 4, 30, today(-7)), makeRecord(9, 4, 30, today(-400))});
    compute();
    EXPECT_EQ(st().TotalRuns(9, 4), 6);
    EXPECT_EQ(st().TotalPoints(9, 4), 66);
    EXPECT_EQ(st().PeriodRuns(9, 4), 4); // today, -2, -3, -6: seven days
    EXPECT_EQ(st().PeriodPoints(9, 4), 44);
    EXPECT_EQ(st().OveruseRuns(9, 4), 2); // today, -2: three days
    EXPECT_EQ(st().OveruseEarned(9, 4), 22);
    EXPECT_EQ(st().RunsToday(9, 4), 1.0f);
    EXPECT_EQ(st().PointsToday(9, 4), 11);
}

TEST_F(Stats, PeriodsOfOneDayZeroDaysTextAndEmpty)
{
    core::Criteria &c = w.state->criteria;
    c.PassPeriodDays[1] = core::Variant(1);
    c.OverusePeriodDays[1] = core::Variant(0);
    c.PassPeriodDays[2] = core::Variant::fromField(QStringLiteral("一週間"));
    c.OverusePeriodDays[2] = core::Variant();
    write({makeRecord(3, 1, 30, today(0)), makeRecord(3, 1, 30, today(-1)),
           makeRecord(3, 2, 30, today(0))});
    compute();
    EXPECT_EQ(st().PeriodRuns(3, 1), 1);  // one day: today only
    EXPECT_EQ(st().OveruseRuns(3, 1), 0); // no day at all
    EXPECT_EQ(st().PeriodRuns(3, 2), 0);  // a text counts as 0 days
    EXPECT_EQ(st().OveruseRuns(3, 2), 0); // so does an empty field
    EXPECT_EQ(st().TotalRuns(3, 2), 1);
}

TEST_F(Stats, PupilsAbove1000NeverSetTheSchoolBest)
{
    write({makeRecord(1001, 5, 5), makeRecord(1000, 5, 20), makeRecord(4000, 6, 7)});
    compute();
    EXPECT_EQ(st().PersonalBest(1001, 5), 5);
    EXPECT_EQ(st().SchoolBest[5], 20);
    EXPECT_EQ(st().PersonalBest(4000, 6), 7);
    EXPECT_EQ(st().SchoolBest[6], 99999);
    EXPECT_EQ(st().TotalRuns(4000, 6), 1);
}

TEST_F(Stats, TheExampleOfTheMultiplier)
{
    w.state->criteria.PointMultiplier[1] = 2.0f;
    w.state->criteria.PointMultiplier[2] = 0.7f;
    w.state->criteria.TargetTime[2] = 30;
    write({makeRecord(8, 1, 30), makeRecord(8, 2, 16)});
    compute();
    EXPECT_EQ(st().TotalPoints(8, 1), 22);
    EXPECT_EQ(st().TotalPoints(8, 2), 7);
}

// A criteria file whose multiplier read 1e308 made the sums of a pupil's points overflow: it
// is refused and leaves the criteria as they were, and the largest numbers a criteria file
// may hold keep the sums of 20000 runs of 55 points exact.
TEST_F(Stats, TheLargestCriteriaAFileMayHoldKeepTheSumsOfAFullWindowExact)
{
    const QString heading = QStringLiteral(
        "目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,\r\n");
    const auto refused = core::TakeCriteria(
        *w.state, heading + QStringLiteral("40,80,60,5,1e308,15,0,14,1,,,\r\n"));
    ASSERT_TRUE(refused);
    EXPECT_EQ(*refused, QStringLiteral("2 行目の 5 番目の項目（ﾎﾟｲﾝﾄ倍率）「1e308」が 0～1000 "
                                       "の範囲にありません。"));
    EXPECT_EQ(w.state->criteria.PointMultiplier[1], 1.0f);

    ASSERT_FALSE(core::TakeCriteria(
        *w.state, heading + QStringLiteral("99999,99999,999999999,32767,1000,32767,999999999,"
                                           "99999,99999,,,\r\n")));
    write(std::vector<GradeRecord>(records::kMaxLoaded, makeRecord(7, 1, 0)));
    compute();
    const std::int32_t sum = 55 * 1000 * records::kMaxLoaded; // 1100000000
    EXPECT_EQ(st().TotalPoints(7, 1), sum);
    EXPECT_EQ(st().PeriodPoints(7, 1), sum);
    EXPECT_EQ(st().OveruseEarned(7, 1), sum);
    EXPECT_EQ(st().PointsToday(7, 1), sum);
    EXPECT_EQ(st().TotalRuns(7, 1), records::kMaxLoaded);
}

TEST_F(Stats, RecordsOutsideThePupilAndLevelRangesAreSkipped)
{
    write({makeRecord(5001, 1, 1), makeRecord(-1, 1, 1), makeRecord(3, 36, 1), makeRecord(3, -1, 1),
           makeRecord(32767, 32767, 1), makeRecord(3, 1, 40)});
    compute();
    EXPECT_EQ(loaded.LoadedCount, 1);
    EXPECT_EQ(st().TotalRuns(3, 1), 1);
    EXPECT_EQ(st().PersonalBest(3, 1), 40);
    EXPECT_EQ(st().SchoolBest[1], 40);
}

TEST_F(Stats, ATargetOfZeroGivesNoPoints)
{
    w.state->criteria.TargetTime[3] = 0;
    write({makeRecord(2, 3, 0), makeRecord(2, 3, 25)});
    compute();
    EXPECT_EQ(st().TotalRuns(2, 3), 2);
    EXPECT_EQ(st().TotalPoints(2, 3), 0);
}

TEST_F(Stats, ATrailingPartialRecordIsNotARecord)
{
    // The first 30 bytes of a record of pupil 9: read as a record, it would count.
    const QByteArray partial = encode({makeRecord(9, 1, 30)}).left(30);
    write({makeRecord(2, 1, 30), makeRecord(2, 1, 31)}, partial);
    compute();
    EXPECT_EQ(loaded.LoadedCount, 2);
    EXPECT_EQ(st().TotalRuns(9, 1), 0);
    EXPECT_EQ(st().PersonalBest(9, 1), 99999);
}

TEST_F(Stats, TheRecordsReadAreTheWindowInFileOrderWithoutThoseOutsideTheTables)
{
    const std::vector<GradeRecord> recs{makeRecord(300, 6, 77, today(-1)),
                                        makeRecord(44, 6, 70),
                                        makeRecord(0, 2, 5),
                                        makeRecord(5000, 1, 9),
                                        makeRecord(44, 7, 71, -3.0),
                                        makeRecord(6000, 1, 1),
                                        makeRecord(127, 0, 3),
                                        makeRecord(44, 6, 6000, today(-20)),
                                        makeRecord(5000, 35, 31, today(-3)),
                                        makeRecord(128, 1, 50)};
    write(recs);
    compute();
    std::vector<GradeRecord> expected = recs;
    expected.erase(expected.begin() + 5); // pupil 6000 is left out
    EXPECT_EQ(loaded.records, expected);
    EXPECT_EQ(loaded.LoadedCount, 6); // pupil 0, level 0, the negative date: the best only

    // 70 s today (4 points) and 6000 s twenty days ago (no run, 0 points).
    EXPECT_EQ(st().TotalRuns(44, 6), 1);
    EXPECT_EQ(st().TotalPoints(44, 6), 4);
    EXPECT_EQ(st().PeriodRuns(44, 6), 1);
    EXPECT_EQ(st().PeriodPoints(44, 6), 4);
    EXPECT_EQ(st().OveruseRuns(44, 6), 1);
    EXPECT_EQ(st().RunsToday(44, 6), 1.0f);
    EXPECT_EQ(st().PointsToday(44, 6), 4);
    EXPECT_EQ(st().PersonalBest(44, 6), 70);
    EXPECT_EQ(st().PersonalBest(44, 7), 71);
    EXPECT_EQ(st().TotalRuns(44, 7), 0);
    EXPECT_EQ(st().PersonalBest(0, 2), 5);
    EXPECT_EQ(st().PersonalBest(127, 0), 3);
    EXPECT_EQ(st().TotalRuns(127, 0), 0);
    // 77 s yesterday: 4 points within both periods, not today.
    EXPECT_EQ(st().OveruseEarned(300, 6), 4);
    EXPECT_EQ(st().PeriodRuns(300, 6), 1);
    EXPECT_EQ(st().RunsToday(300, 6), 0.0f);
    EXPECT_EQ(st().PointsToday(5000, 1), 35); // 9 s on a 60 s target
    // 31 s three days ago: within the seven days of the pass period, not the three of the
    // too-much period.
    EXPECT_EQ(st().PeriodPoints(5000, 35), 10);
    EXPECT_EQ(st().OveruseRuns(5000, 35), 0);
    EXPECT_EQ(st().PointsToday(128, 1), 5);
    EXPECT_EQ(st().SchoolBest[1], 50);
    EXPECT_EQ(st().SchoolBest[2], 99999);
    EXPECT_EQ(st().SchoolBest[6], 70);
}

TEST_F(Stats, EveryComputationStartsAfresh)
{
    write({makeRecord(2, 1, 30)});
    compute();
    w.state->stats.PersonalBest(2, 1) = 3; // as the recording step lowers it
    w.state->stats.SchoolBest[1] = 3;
    compute();
    EXPECT_EQ(st().TotalRuns(2, 1), 1);
    EXPECT_EQ(st().TotalPoints(2, 1), 11);
    EXPECT_EQ(st().PersonalBest(2, 1), 30);
    EXPECT_EQ(st().SchoolBest[1], 30);
}

TEST_F(Stats, TheOneArgumentFormComputesTheSame)
{
    write({makeRecord(2, 1, 30), makeRecord(2, 1, 60, today(-1))});
    ASSERT_TRUE(records::ComputeStatistics(*w.state));
    EXPECT_EQ(st().TotalRuns(2, 1), 2);
    EXPECT_EQ(st().TotalPoints(2, 1), 16);
    EXPECT_EQ(st().PointsToday(2, 1), 11);
}

TEST_F(Stats, AMissingFileIsCreatedEmpty)
{
    compute();
    EXPECT_TRUE(QFile::exists(w.gradePath()));
    EXPECT_EQ(QFile(w.gradePath()).size(), 0);
}

TEST_F(Stats, AMissingFolderIsTriedFourTimesFiveSecondsApartThenEndsTheProgram)
{
    ASSERT_TRUE(QDir(w.inst.programDataFolder()).removeRecursively());
    const std::uint32_t start = w.clock.tick;
    EXPECT_FALSE(records::ComputeStatistics(*w.state, loaded));
    EXPECT_EQ(w.clock.tick - start, 20000u);
    EXPECT_EQ(loaded.LoadRetryCount, 4);
    ASSERT_EQ(w.dialogs.calls.size(), 1u);
    EXPECT_EQ(w.dialogs.calls[0].text,
              QStringLiteral("ファイルがありません3") +
                  QString::fromLocal8Bit(std::strerror(ENOENT)) + QString::number(ENOENT) +
                  QStringLiteral("\r\nフォルダがありません：") + w.inst.programDataFolder());
    EXPECT_TRUE(w.programExit.requested);
    EXPECT_TRUE(w.screens.log.contains(QStringLiteral("closeAll")));
}

TEST_F(Stats, AnyOtherErrorEndsTheProgramWithTheStepOfTheLoad)
{
    // A folder where the grade file should be cannot be opened as a file.
    ASSERT_TRUE(QDir().mkpath(w.gradePath()));
    const std::uint32_t start = w.clock.tick;
    EXPECT_FALSE(records::ComputeStatistics(*w.state, loaded));
    EXPECT_EQ(w.clock.tick, start); // no retry
    ASSERT_EQ(w.dialogs.calls.size(), 1u);
    const QString number = QString::number(EISDIR);
    EXPECT_EQ(w.dialogs.calls[0].text,
              QStringLiteral("成績ランダムファイル表示3") + number +
                  QString::fromLocal8Bit(std::strerror(EISDIR)) + number +
                  QStringLiteral("/date0/i=0/time=0/name=/Bangou=0/level=0/time=0line3\r\n") +
                  w.gradePath());
    EXPECT_TRUE(w.programExit.requested);
}

TEST_F(Stats, AReadOnlyFolderIsReadAndAGradeFileItCannotHoldEndsAtOnce)
{
    setPermissions(w.inst.root(), kOpenFolder);
    setPermissions(w.inst.dataFolder(), kOpenFolder);
    write({makeRecord(2, 1, 30), makeRecord(2, 1, 31)});
    setPermissions(w.inst.programDataFolder(), kReadOnlyFolder);
    {
        ReadOnlyUser nobody;
        compute();
    }
    EXPECT_EQ(st().TotalRuns(2, 1), 2);

    // Without a grade file there is nothing to read, and it cannot be created: no wait.
    setPermissions(w.inst.programDataFolder(), kOpenFolder);
    ASSERT_TRUE(QFile::remove(w.gradePath()));
    setPermissions(w.inst.programDataFolder(), kReadOnlyFolder);
    const std::uint32_t start = w.clock.tick;
    {
        ReadOnlyUser nobody;
        EXPECT_FALSE(records::ComputeStatistics(*w.state, loaded));
    }
    setPermissions(w.inst.programDataFolder(), kOpenFolder);
    EXPECT_EQ(w.clock.tick, start);
    ASSERT_EQ(w.dialogs.calls.size(), 1u);
    const QString number = QString::number(EACCES);
    EXPECT_EQ(w.dialogs.calls[0].text,
              QStringLiteral("成績ランダムファイル表示3") + number +
                  QString::fromLocal8Bit(std::strerror(EACCES)) + number +
                  QStringLiteral("/date0/i=0/time=0/name=/Bangou=0/level=0/time=0line3") +
                  QStringLiteral("\r\nこのフォルダの成績ファイルに書き込めません：") +
                  w.inst.programDataFolder());
    EXPECT_TRUE(w.programExit.requested);
    EXPECT_FALSE(QFile::exists(w.gradePath()));
}

TEST_F(Stats, AFolderThatComesBackWithinTheRetriesIsRead)
{
    const QString folder = w.inst.programDataFolder();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    const std::uint32_t start = w.clock.tick;
    w.clock.onIdle = [&](std::uint32_t tick) {
        if (tick - start == 7000) {
            QDir().mkpath(folder);
            writeFile(w.gradePath(), encode({makeRecord(2, 1, 30)}));
        }
    };
    compute();
    EXPECT_EQ(w.clock.tick - start, 10000u); // two waits of five seconds
    EXPECT_EQ(loaded.LoadRetryCount, 2);
    EXPECT_EQ(st().TotalRuns(2, 1), 1);
}

namespace {

// Random criteria of every kind: targets of 0 and below, below and from 1000 seconds,
// multipliers written as decimals, periods as numbers, fractions, texts and empty fields.
void randomCriteria(std::mt19937 &rng, core::Criteria &c)
{
    for (int level = 1; level <= core::kMaxLevel; ++level) {
        const int targets[] = {0, 1, 7, 30, 60, 999, 1000, 2500, 150000, -5};
        const float factors[] = {1.0f, 0.7f, 1.5f, 2.0f, 0.0f, 1.1f, 250.0f, -1.5f};
        c.TargetTime[level] = targets[rng() % std::size(targets)];
        c.PointMultiplier[level] = factors[rng() % std::size(factors)];
        const auto period = [&](int days) {
            switch (rng() % 8) {
            case 0:
                return core::Variant();
            case 1:
                return core::Variant::fromField(QStringLiteral("一週間"));
            case 2:
                return core::Variant(days + 0.5);
            default:
                return core::Variant(days);
            }
        };
        c.PassPeriodDays[level] = period(int(rng() % 40));
        c.OverusePeriodDays[level] = period(int(rng() % 10));
    }
}

// Random records of every kind: pupils and levels also out of range, pupil 0 and level 0,
// times around the level's target and its multiples, time-outs, negative and extreme times,
// dates today and before, negative, within a day, not a number and endless.
std::vector<GradeRecord> randomRecords(std::mt19937 &rng, const core::Criteria &c, int n,
                                       double today)
{
    std::vector<GradeRecord> recs;
    for (int i = 0; i < n; ++i) {
        const int pupil = rng() % 20 == 0 ? int(rng() % 5200) - 100 : int(rng() % 5001);
        const int level = rng() % 30 == 0 ? int(rng() % 40) - 2 : int(rng() % 36);
        const std::int32_t target =
            level >= 1 && level <= core::kMaxLevel ? c.TargetTime[level] : 60;
        const std::int32_t times[] = {std::int32_t(rng() % 200),
                                      std::int32_t(rng() % 3000),
                                      std::int32_t(rng() % 200000) - 10,
                                      -std::int32_t(rng() % 2000) - 1,
                                      target - 1 + std::int32_t(rng() % 3),
                                      2 * target - 1 + std::int32_t(rng() % 3),
                                      10 * target - 1 + std::int32_t(rng() % 3),
                                      99997 + std::int32_t(rng() % 4),
                                      999 + std::int32_t(rng() % 2),
                                      6000,
                                      0,
                                      std::numeric_limits<std::int32_t>::max(),
                                      std::numeric_limits<std::int32_t>::min()};
        const std::int32_t t = times[rng() % std::size(times)];
        double date = today - int(rng() % 60);
        switch (rng() % 60) {
        case 0:
            date -= 50000.0;
            break;
        case 1:
            date += 0.5;
            break;
        case 2:
            date = std::numeric_limits<double>::quiet_NaN();
            break;
        case 3:
            date = std::numeric_limits<double>::infinity();
            break;
        default:
            break;
        }
        recs.push_back(makeRecord(pupil, level, t, date));
    }
    return recs;
}

// The statistics of the newest 20000 records, the rules applied plainly, record by record.
std::unique_ptr<core::Statistics> plainStatistics(const std::vector<GradeRecord> &all,
                                                  const core::Criteria &c, double today)
{
    auto expected = std::make_unique<core::Statistics>();
    std::fill(expected->PersonalBest.data(),
              expected->PersonalBest.data() + expected->PersonalBest.size(), core::kNoTime);
    const std::size_t first = all.size() > 20000 ? all.size() - 20000 : 0;
    for (std::size_t j = first; j < all.size(); ++j) {
        const GradeRecord &r = all[j];
        const int k = r.RecStudent;
        const int l = r.RecLevel;
        if (k < 0 || k > core::kMaxStudent || l < 0 || l > core::kMaxLevel)
            continue;
        // Times below 0 or beyond a time-out, and days that are no day of the years
        // 100..9999, make no record.
        if (r.RecSeconds < 0 || r.RecSeconds > 99999 || !(r.RecDate >= -657434) ||
            !(r.RecDate < 2958466))
            continue;
        expected->PersonalBest(k, l) = std::min(expected->PersonalBest(k, l), r.RecSeconds);
        if (!(r.RecDate >= 0) || k == 0 || l < 1)
            continue;
        const int p = records::RecordPoints(c, l, r.RecSeconds);
        const bool run = r.RecSeconds < 6000;
        expected->TotalRuns(k, l) += run;
        expected->TotalPoints(k, l) += p;
        if (r.RecDate > today - c.PassPeriodDays[l].number()) {
            expected->PeriodRuns(k, l) += run;
            expected->PeriodPoints(k, l) += p;
        }
        if (r.RecDate > today - c.OverusePeriodDays[l].number()) {
            expected->OveruseRuns(k, l) += run;
            expected->OveruseEarned(k, l) += p;
        }
        if (r.RecDate >= today && r.RecDate < today + 1) { // on today's date
            expected->RunsToday(k, l) += run ? 1.0f : 0.0f;
            expected->PointsToday(k, l) += p;
        }
    }
    for (int l = 1; l <= core::kMaxLevel; ++l) {
        expected->SchoolBest[l] = core::kNoTime;
        for (int k = 1; k <= 1000; ++k)
            expected->SchoolBest[l] =
                std::min(expected->SchoolBest[l], expected->PersonalBest(k, l));
    }
    return expected;
}

void expectSameStatistics(const core::Statistics &actual, const core::Statistics &expected)
{
    for (int k = 0; k <= core::kMaxStudent; ++k) {
        for (int l = 0; l <= core::kMaxLevel; ++l) {
            SCOPED_TRACE(testing::Message() << "pupil " << k << " level " << l);
            ASSERT_EQ(actual.PersonalBest(k, l), expected.PersonalBest(k, l));
            ASSERT_EQ(actual.TotalRuns(k, l), expected.TotalRuns(k, l));
            ASSERT_EQ(actual.TotalPoints(k, l), expected.TotalPoints(k, l));
            ASSERT_EQ(actual.PeriodRuns(k, l), expected.PeriodRuns(k, l));
            ASSERT_EQ(actual.PeriodPoints(k, l), expected.PeriodPoints(k, l));
            ASSERT_EQ(actual.OveruseRuns(k, l), expected.OveruseRuns(k, l));
            ASSERT_EQ(actual.OveruseEarned(k, l), expected.OveruseEarned(k, l));
            ASSERT_EQ(actual.RunsToday(k, l), expected.RunsToday(k, l));
            ASSERT_EQ(actual.PointsToday(k, l), expected.PointsToday(k, l));
        }
    }
    for (int l = 1; l <= core::kMaxLevel; ++l)
        EXPECT_EQ(actual.SchoolBest[l], expected.SchoolBest[l]) << l;
}

// Random criteria, set in `c`, and `n` random records of them, all from one seed.
std::vector<GradeRecord> randomSchool(unsigned seed, core::Criteria &c, int n, double today)
{
    std::mt19937 rng(seed);
    randomCriteria(rng, c);
    return randomRecords(rng, c, n, today);
}

} // namespace

TEST_F(Stats, AgreesWithTheRulesTakenOneRecordAtATime)
{
    core::Criteria &c = w.state->criteria;
    const std::vector<GradeRecord> recs = randomSchool(42, c, 6000, today());
    write(recs);
    compute();
    expectSameStatistics(st(), *plainStatistics(recs, c, today()));
}

TEST_F(Stats, AFullWindowAgreesWithTheRulesEveryTime)
{
    // More records than the window holds, over every pupil, computed again and again.
    core::Criteria &c = w.state->criteria;
    const std::vector<GradeRecord> recs = randomSchool(7, c, 20700, today());
    write(recs);
    const std::unique_ptr<core::Statistics> expected = plainStatistics(recs, c, today());
    for (int time = 0; time < 12; ++time) {
        SCOPED_TRACE(testing::Message() << "computation " << time);
        compute();
        expectSameStatistics(st(), *expected);
        if (testing::Test::HasFatalFailure())
            return;
    }
}

namespace {

// A digest of every table, to tell two computations' results apart.
std::uint64_t digest(const core::Statistics &st)
{
    std::uint64_t h = 1469598103934665603ULL;
    const auto add = [&](std::int64_t v) { h = (h ^ std::uint64_t(v)) * 1099511628211ULL; };
    for (int k = 0; k <= core::kMaxStudent; ++k) {
        for (int l = 0; l <= core::kMaxLevel; ++l) {
            add(st.TotalRuns(k, l));
            add(st.TotalPoints(k, l));
            add(st.PeriodRuns(k, l));
            add(st.PeriodPoints(k, l));
            add(st.OveruseRuns(k, l));
            add(st.OveruseEarned(k, l));
            add(std::bit_cast<std::int32_t>(st.RunsToday(k, l)));
            add(st.PointsToday(k, l));
            add(st.PersonalBest(k, l));
        }
    }
    for (const std::int32_t best : st.SchoolBest)
        add(best);
    return h;
}

} // namespace

TEST_F(Stats, ComputationsOneAfterTheOtherGiveTheSameTables)
{
    // One computation after the other: nothing of one is left over in the next.
    core::Criteria &c = w.state->criteria;
    const std::vector<GradeRecord> recs = randomSchool(5, c, 20000, today());
    write(recs);
    compute();
    expectSameStatistics(st(), *plainStatistics(recs, c, today()));
    const std::uint64_t first = digest(st());
    for (int time = 1; time <= 30; ++time) {
        compute();
        ASSERT_EQ(digest(st()), first) << "computation " << time;
    }
}

TEST_F(Stats, ChangedCriteriaTakeEffectAtTheNextComputation)
{
    core::Criteria &c = w.state->criteria;
    const std::vector<GradeRecord> recs = randomSchool(11, c, 8000, today());
    write(recs);
    compute();
    expectSameStatistics(st(), *plainStatistics(recs, c, today()));
    // New targets on some levels, new multipliers alone on others (0.0 to -0.0 among them,
    // which earn the same), new periods on a few.
    for (int level = 1; level <= core::kMaxLevel; ++level) {
        if (level % 2 == 1)
            c.TargetTime[level] = c.TargetTime[level] == 60 ? 45 : 60;
        else
            c.PointMultiplier[level] = c.PointMultiplier[level] == 0.0f ? -0.0f : 1.1f;
        if (level % 3 == 0)
            c.PassPeriodDays[level] = core::Variant(3);
    }
    compute();
    expectSameStatistics(st(), *plainStatistics(recs, c, today()));
    w.clock.date = QDate(2026, 12, 10); // the periods move on with the day
    compute();
    expectSameStatistics(st(), *plainStatistics(recs, c, today(1)));
}

TEST_F(Stats, NeighbouringPupilsAllAlongTheRangeAreCounted)
{
    std::vector<GradeRecord> recs;
    for (int k = 128; k <= core::kMaxStudent; k += 128) {
        const int level = 1 + (k / 128) % 35;
        recs.push_back(makeRecord(k - 1, level, 30));
        recs.push_back(makeRecord(k, level, 31, today(-1)));
    }
    recs.push_back(makeRecord(core::kMaxStudent, core::kMaxLevel, 29));
    write(recs);
    compute();
    EXPECT_EQ(loaded.LoadedCount, int(recs.size()));
    for (int k = 128; k <= core::kMaxStudent; k += 128) {
        const int level = 1 + (k / 128) % 35;
        SCOPED_TRACE(testing::Message() << "pupil " << k);
        EXPECT_EQ(st().TotalRuns(k - 1, level), 1);
        EXPECT_EQ(st().TotalPoints(k - 1, level), 11);
        EXPECT_EQ(st().PointsToday(k - 1, level), 11);
        EXPECT_EQ(st().PersonalBest(k - 1, level), 30);
        EXPECT_EQ(st().TotalRuns(k, level), 1);
        EXPECT_EQ(st().PeriodPoints(k, level), 10);
        EXPECT_EQ(st().PointsToday(k, level), 0);
        EXPECT_EQ(st().PersonalBest(k, level), 31);
    }
    EXPECT_EQ(st().PersonalBest(core::kMaxStudent, core::kMaxLevel), 29);
    EXPECT_EQ(st().TotalPoints(core::kMaxStudent, core::kMaxLevel), 11);
}

// ---- rankings helpers --------------------------------------------------------------------

TEST(GradeMark, MarksOfTheGrades)
{
    const QStringList expected{QStringLiteral("　"), QStringLiteral("①"), QStringLiteral("②"),
                               QStringLiteral("③"),  QStringLiteral("④"), QStringLiteral("⑤"),
                               QStringLiteral("⑥"),  QStringLiteral("Ⅰ"), QStringLiteral("Ⅱ"),
                               QStringLiteral("Ⅲ"),  QStringLiteral("　")};
    for (int g = 0; g <= 10; ++g)
        EXPECT_EQ(records::GradeMark(g), expected[g]) << g;
    EXPECT_EQ(records::GradeMark(-1), QStringLiteral("　"));
}

TEST(GradeFilterMatch, FilterTexts)
{
    const auto passes = [](const QString &filter) {
        QString s;
        for (int g = -1; g <= 11; ++g)
            s += records::GradeFilterMatch(filter, g) == 1 ? u'x' : u'.';
        return s;
    };
    //                                          grades -1 .. 11
    EXPECT_EQ(passes(QStringLiteral("全学年")), QStringLiteral("xxxxxxxxxxxxx"));
    EXPECT_EQ(passes(QStringLiteral("小学生全体")), QStringLiteral("..xxxxxx....."));
    EXPECT_EQ(passes(QStringLiteral("中学生全体")), QStringLiteral("........xxx.."));
    EXPECT_EQ(passes(QStringLiteral("小１")), QStringLiteral("..x.........."));
    EXPECT_EQ(passes(QStringLiteral("小６")), QStringLiteral(".......x....."));
    EXPECT_EQ(passes(QStringLiteral("中１")), QStringLiteral("........x...."));
    EXPECT_EQ(passes(QStringLiteral("中３")), QStringLiteral("..........x.."));
    EXPECT_EQ(passes(QStringLiteral("小1")), QStringLiteral("............."));
    EXPECT_EQ(passes(QString()), QStringLiteral("............."));
}

namespace {

std::vector<core::Variant> textTags(const QStringList &texts)
{
    std::vector<core::Variant> tags{core::Variant()};
    for (const QString &t : texts)
        tags.push_back(core::Variant::fromText(t));
    return tags;
}

QStringList tagTexts(const std::vector<core::Variant> &tags)
{
    QStringList out;
    for (std::size_t i = 1; i < tags.size(); ++i)
        out << tags[i].text();
    return out;
}

} // namespace

TEST(SortByKey, EqualKeysComeOutInReverseAndASecondSortRestoresThem)
{
    std::vector<std::int32_t> keys{0, 3, 1, 3};
    std::vector<core::Variant> tags = textTags({"x", "y", "z"});
    records::SortByKey(3, keys, tags);
    EXPECT_EQ(keys, (std::vector<std::int32_t>{0, 1, 3, 3}));
    EXPECT_EQ(tagTexts(tags), (QStringList{"y", "z", "x"}));
    records::SortByKey(3, keys, tags);
    EXPECT_EQ(tagTexts(tags), (QStringList{"y", "x", "z"}));
}

TEST(SortByKey, OnlyEntriesOneToNAreSorted)
{
    std::vector<std::int32_t> keys{9, 5, 4, 3, 0};
    std::vector<core::Variant> tags = textTags({"a", "b", "c", "d"});
    tags[0] = core::Variant::fromText(QStringLiteral("zero"));
    records::SortByKey(3, keys, tags);
    EXPECT_EQ(keys, (std::vector<std::int32_t>{9, 3, 4, 5, 0}));
    EXPECT_EQ(tags[0].text(), QStringLiteral("zero"));
    EXPECT_EQ(tagTexts(tags), (QStringList{"c", "b", "a", "d"}));

    records::SortByKey(1, keys, tags);
    records::SortByKey(0, keys, tags);
    EXPECT_EQ(keys, (std::vector<std::int32_t>{9, 3, 4, 5, 0}));
}

TEST(SortByKey, ManyEntriesWithTies)
{
    std::mt19937 rng(7);
    const int n = 1001;
    std::vector<std::int32_t> keys(n + 1);
    std::vector<core::Variant> tags(n + 1);
    std::vector<std::pair<std::int32_t, int>> reference;
    for (int i = 1; i <= n; ++i) {
        keys[i] = std::int32_t(rng() % 40) - 20;
        tags[i] = core::Variant(i);
        reference.push_back({keys[i], i});
    }
    // Ascending keys; equal keys in the reverse of their input order.
    std::sort(reference.begin(), reference.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first < b.first : a.second > b.second;
    });
    records::SortByKey(n, keys, tags);
    for (int i = 1; i <= n; ++i) {
        ASSERT_EQ(keys[i], reference[i - 1].first) << i;
        ASSERT_EQ(tags[i].number(), reference[i - 1].second) << i;
    }
}

namespace {

// The sort of the rankings as it was first written: a top-down merge sort of entries lo..hi
// whose merge takes the right-hand entry first when keys are equal.
void mergeSortReference(int lo, int hi, std::vector<std::int32_t> &keys, std::vector<int> &tags)
{
    if (lo >= hi)
        return;
    const int m = (lo + hi) / 2;
    mergeSortReference(lo, m, keys, tags);
    mergeSortReference(m + 1, hi, keys, tags);
    const std::vector<std::int32_t> workKeys(keys.begin() + lo, keys.begin() + m + 1);
    const std::vector<int> workTags(tags.begin() + lo, tags.begin() + m + 1);
    const int copied = m - lo + 1;
    int a = m + 1;
    int b = 0;
    int d = lo;
    while (a <= hi && b < copied) {
        if (workKeys[std::size_t(b)] < keys[std::size_t(a)]) {
            keys[std::size_t(d)] = workKeys[std::size_t(b)];
            tags[std::size_t(d)] = workTags[std::size_t(b)];
            ++b;
        } else {
            keys[std::size_t(d)] = keys[std::size_t(a)];
            tags[std::size_t(d)] = tags[std::size_t(a)];
            ++a;
        }
        ++d;
    }
    for (; b < copied; ++b, ++d) {
        keys[std::size_t(d)] = workKeys[std::size_t(b)];
        tags[std::size_t(d)] = workTags[std::size_t(b)];
    }
}

} // namespace

TEST(SortByKey, AgreesWithTheMergeSortOnRandomTablesWithTies)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 2000; ++round) {
        // Small tables often, n = 0, 1 and 2 among them; a few entries past n.
        const int n = round < 300 ? round % 5 : int(rng() % 400);
        const int past = int(rng() % 4);
        // Few distinct keys make many ties; some rounds use the extremes of the keys.
        const std::uint32_t distinct = std::array<std::uint32_t, 5>{1, 2, 3, 10, 1000}[rng() % 5];
        std::vector<std::int32_t> keys(std::size_t(n + 1 + past));
        std::vector<int> tagNumbers(keys.size());
        for (std::size_t i = 0; i < keys.size(); ++i) {
            keys[i] = std::int32_t(rng() % distinct) - std::int32_t(distinct / 2);
            if (round % 7 == 0 && rng() % 4 == 0)
                keys[i] = rng() % 2 == 0 ? std::numeric_limits<std::int32_t>::min()
                                         : std::numeric_limits<std::int32_t>::max();
            tagNumbers[i] = int(i) + 100;
        }
        std::vector<core::Variant> tags;
        for (const int t : tagNumbers)
            tags.push_back(core::Variant(t));
        std::vector<std::int32_t> expectedKeys = keys;
        std::vector<int> expectedTags = tagNumbers;
        mergeSortReference(1, n, expectedKeys, expectedTags);

        records::SortByKey(n, keys, tags);
        SCOPED_TRACE(testing::Message() << "round " << round << " n " << n << " past " << past);
        ASSERT_EQ(keys, expectedKeys);
        for (std::size_t i = 0; i < tags.size(); ++i)
            ASSERT_EQ(tags[i].number(), expectedTags[i]) << "entry " << i;
    }
}

TEST(SortByKey, ACountBeyondTheTablesSortsTheEntriesTheyHave)
{
    std::vector<std::int32_t> keys{0, 2, 1, 2, 0};
    std::vector<core::Variant> tags = textTags({"a", "b", "c", "d"});
    records::SortByKey(10, keys, tags); // entries 1..4
    EXPECT_EQ(keys, (std::vector<std::int32_t>{0, 0, 1, 2, 2}));
    EXPECT_EQ(tagTexts(tags), (QStringList{"d", "b", "c", "a"}));
}
