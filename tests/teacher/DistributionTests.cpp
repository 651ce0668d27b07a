// The time distributions of the criteria editor, on the examples the teacher sees.
#include "support/GradeRecords.h"

#include "teacher/Distribution.h"

#include <gtest/gtest.h>

namespace tavoro::teacher {
namespace {

using test::encodeRecords;
using test::gradeRecord;

QString band(int lower, int stars)
{
    return QStringLiteral("%1～").arg(lower, 4) + QString(stars, u'★');
}

// The band lines expected: every band empty but those given.
QStringList bands(std::initializer_list<std::pair<int, int>> starred)
{
    QStringList lines;
    for (int b = 0; b <= 100; ++b)
        lines << band(10 * b, 0);
    for (const auto &[b, stars] : starred)
        lines[b] = band(10 * b, stars);
    return lines;
}

TEST(Distribution, ALevelWithoutResults)
{
    const TimeDistributions d = ComputeTimeDistributions(QByteArray());
    const QStringList all = AllTimesLines(d, 3);
    ASSERT_EQ(all.size(), 102);
    EXPECT_EQ(all[0], QStringLiteral("レベル3 今まで0回  （★=1）"));
    EXPECT_EQ(all.mid(1), bands({}));
    const QStringList best = BestTimesLines(d, 3);
    EXPECT_EQ(best[0], QStringLiteral("レベル3 （★=1）"));
    EXPECT_EQ(best.mid(1), bands({}));
    EXPECT_EQ(all[1], QStringLiteral("   0～"));
    EXPECT_EQ(all[101], QStringLiteral("1000～"));
}

TEST(Distribution, TwentyFiveRunsInTheForties)
{
    std::vector<records::GradeRecord> records;
    for (int i = 0; i < 25; ++i)
        records.push_back(gradeRecord(100 + i, 1, 40 + i % 10));
    records.push_back(gradeRecord(1, 2, 70)); // another level
    const TimeDistributions d = ComputeTimeDistributions(encodeRecords(records));
    const QStringList all = AllTimesLines(d, 1);
    EXPECT_EQ(all[0], QStringLiteral("レベル1 今まで25回  （★=2）"));
    EXPECT_EQ(all.mid(1), bands({{4, 13}}));
    EXPECT_EQ(all[5], QStringLiteral("  40～★★★★★★★★★★★★★"));
    // 25 pupils, each with his one time.
    EXPECT_EQ(BestTimesLines(d, 1).mid(1), bands({{4, 13}}));
    EXPECT_EQ(AllTimesLines(d, 2)[0], QStringLiteral("レベル2 今まで1回  （★=1）"));
}

TEST(Distribution, ACutLastRecordIsNoRun)
{
    const QByteArray whole = encodeRecords({gradeRecord(1, 1, 40), gradeRecord(2, 1, 50)});
    const TimeDistributions d = ComputeTimeDistributions(whole);
    const TimeDistributions cut =
        ComputeTimeDistributions(whole + encodeRecords({gradeRecord(3, 1, 20)}).left(30));
    EXPECT_EQ(cut.runs, d.runs);
    EXPECT_EQ(cut.all, d.all);
    EXPECT_EQ(cut.best, d.best);
    EXPECT_EQ(d.runs[1], 2);
}

TEST(Distribution, OnePupilCountsOnceInTheBestTimes)
{
    const TimeDistributions d = ComputeTimeDistributions(
        encodeRecords({gradeRecord(7, 4, 58), gradeRecord(7, 4, 45), gradeRecord(7, 4, 47)}));
    EXPECT_EQ(AllTimesLines(d, 4).mid(1), bands({{5, 1}, {4, 2}}));
    EXPECT_EQ(BestTimesLines(d, 4).mid(1), bands({{4, 1}}));
    EXPECT_EQ(d.best[4][4], 1);
    EXPECT_EQ(d.all[4][4], 2);
}

TEST(Distribution, LongTimesFallIntoTheLastBands)
{
    const TimeDistributions d = ComputeTimeDistributions(
        encodeRecords({gradeRecord(1, 5, 1234), gradeRecord(2, 5, 400), gradeRecord(3, 6, 99999)}));
    EXPECT_EQ(AllTimesLines(d, 5).mid(1), bands({{100, 1}, {40, 1}}));
    EXPECT_EQ(AllTimesLines(d, 5)[101], QStringLiteral("1000～★"));
    EXPECT_EQ(BestTimesLines(d, 5).mid(1), bands({{30, 2}}));
    EXPECT_EQ(BestTimesLines(d, 5)[31], QStringLiteral(" 300～★★"));
    // A time-out, the pupil's only run.
    EXPECT_EQ(AllTimesLines(d, 6).mid(1), bands({{100, 1}}));
    EXPECT_EQ(BestTimesLines(d, 6).mid(1), bands({{30, 1}}));
}

TEST(Distribution, LevelsOutsideTheTablesAreLeftOut)
{
    std::vector<records::GradeRecord> records = {gradeRecord(1, 0, 30), gradeRecord(1, 51, 30),
                                                 gradeRecord(1, -3, 30), gradeRecord(1, 50, 30),
                                                 gradeRecord(-2, 1, -15)};
    const TimeDistributions d = ComputeTimeDistributions(encodeRecords(records));
    EXPECT_EQ(d.runs[0], 0);
    EXPECT_EQ(d.runs[50], 1);
    EXPECT_EQ(d.all[50][3], 1);
    EXPECT_EQ(d.runs[1], 1);
    EXPECT_EQ(d.all[1][0], 1); // a negative time in the first band
    EXPECT_EQ(d.best[1][0], 1);
    EXPECT_EQ(AllTimesLines(d, 51)[0], QStringLiteral("レベル51 今まで0回  （★=1）"));
    EXPECT_EQ(AllTimesLines(d, 51).mid(1), bands({}));
    EXPECT_EQ(BestTimesLines(d, -1).mid(1), bands({}));
}

TEST(Distribution, ScaleIsATenthOfTheFullestBand)
{
    std::vector<records::GradeRecord> records;
    for (int i = 0; i < 100; ++i)
        records.push_back(gradeRecord(1, 1, 35));
    for (int i = 0; i < 14; ++i)
        records.push_back(gradeRecord(1, 1, 72));
    const TimeDistributions d = ComputeTimeDistributions(encodeRecords(records));
    EXPECT_EQ(AllTimesLines(d, 1)[0], QStringLiteral("レベル1 今まで114回  （★=10）"));
    // 14 / 10 + 0.5 = 1.9: one star.
    EXPECT_EQ(AllTimesLines(d, 1).mid(1), bands({{3, 10}, {7, 1}}));
}

} // namespace
} // namespace tavoro::teacher
