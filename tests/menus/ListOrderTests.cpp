// The lists that make their rows as they are read: the name selection's listing and the
// level menu's ranking lists give exactly the rows the sorted list gives when every text is
// made and sorted at once, in any order of reading; the list box asks only for the rows it
// paints; an unchanged roster file is not parsed again.
#include "MenusWorld.h"

#include "core/ListBox.h"
#include "menus/NameList.h"
#include "menus/Ranking.h"
#include "menus/SortedList.h"
#include "platform/Paths.h"
#include "records/RosterFile.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tavoro::menus {
namespace {

// Names that try the order: kana and kanji, Latin letters of both cases, half- and
// full-width digits and spaces, the long vowel mark, the marks the lines start with.
QString randomName(std::mt19937 &rng)
{
    static const QString pool =
        QStringLiteral("あいうかがきアイカガー山田佐藤木aAbBzZ019０１９ 　●①⑥ⅠⅢ・-");
    QString name;
    const int length = 1 + int(rng() % 6);
    for (int i = 0; i < length; ++i)
        name += pool.at(qsizetype(rng() % pool.size()));
    return name.leftJustified(20, u' ');
}

std::vector<ListedPupil> randomPupils(std::mt19937 &rng, int count, const std::vector<int> &years)
{
    std::vector<ListedPupil> pupils;
    for (int i = 0; i < count; ++i) {
        // Some names come twice, with the same birth year, to meet equal rows.
        QString name = randomName(rng);
        if (i > 0 && rng() % 8 == 0)
            name = pupils[std::size_t(rng() % std::size_t(i))].name;
        pupils.push_back({1 + i * 3, years[rng() % years.size()], name});
    }
    return pupils;
}

struct ListingCase {
    const char *name;
    std::vector<int> years;
    int displayMode;
    unsigned seed;
};

class NameListingOrder : public ::testing::TestWithParam<ListingCase> {};

TEST_P(NameListingOrder, SameRowsAsSortingEveryKey)
{
    const ListingCase c = GetParam();
    std::mt19937 rng(c.seed);
    test::FakeWorld world;
    core::Statistics &stats = world.state->stats;
    const std::vector<ListedPupil> pupils = randomPupils(rng, 400, c.years);
    for (const ListedPupil &p : pupils) {
        // Points and runs on a few levels, often none.
        for (int level : {1, 2, 35}) {
            if (rng() % 3 == 0)
                continue;
            stats.TotalPoints(p.number, level) = std::int32_t(rng() % 3000);
            stats.PointsToday(p.number, level) = std::int32_t(rng() % 200);
            stats.TotalRuns(p.number, level) = std::int16_t(rng() % 300);
            stats.RunsToday(p.number, level) = float(rng() % 20);
        }
    }
    constexpr int kSchoolYear = 2026;

    QStringList expectedKeys;
    for (const ListedPupil &p : pupils)
        expectedKeys.append(ListKeyText(p.birthYear, kSchoolYear, p.name, c.displayMode,
                                        TotalsOf(stats, p.number), p.number));
    SortListTexts(expectedKeys);

    for (const QString &filter : GradeFilterItems()) {
        SCOPED_TRACE(filter.toStdString());
        NameListing listing(pupils, kSchoolYear, c.displayMode, stats);
        listing.setFilter(filter);
        const NameRows expected = ShownRows(expectedKeys, kSchoolYear, filter);
        ASSERT_EQ(listing.rowCount(), expected.rows.size());
        // Read from the bottom up, so groups are made out of order.
        for (int i = listing.rowCount() - 1; i >= 0; --i) {
            ASSERT_EQ(listing.row(i), expected.rows.at(i)) << "row " << i;
            ASSERT_EQ(listing.numberedRow(i), expected.numbered.at(i));
            ASSERT_EQ(listing.numberOfRow(i), expected.numbers[std::size_t(i)]);
        }
        EXPECT_EQ(listing.keys(), expectedKeys);
        EXPECT_EQ(listing.row(listing.rowCount()), QString());
        EXPECT_EQ(listing.row(-1), QString());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rosters, NameListingOrder,
    ::testing::Values(
        ListingCase{"school", {2008, 2010, 2013, 2014, 2017, 2019, 2020}, 1, 1},
        ListingCase{"schoolRunsMode", {2008, 2010, 2013, 2014, 2017, 2019, 2020}, 0, 2},
        ListingCase{"schoolTodayMode", {2013, 2017, 2019, 2020, 2021, 2022, 2023}, 2, 3},
        ListingCase{"schoolSoFarMode", {1980, 2013, 2017, 2019}, 3, 4},
        // Birth years that are not four digits long: one group, sorted whole.
        ListingCase{"shortYears", {0, 99, 201, 2017, 2019}, 1, 5},
        ListingCase{"longYears", {2017, 12017, 2019}, 1, 6}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NameListing, EmptyRosterShowsNothing)
{
    test::FakeWorld world;
    NameListing listing({}, 2026, 1, world.state->stats);
    EXPECT_EQ(listing.rowCount(), 0);
    EXPECT_EQ(listing.keyCount(), 0);
    EXPECT_EQ(listing.row(0), QString());
    EXPECT_EQ(listing.numberOfRow(0), 0);
    EXPECT_TRUE(listing.keys().isEmpty());
}

struct RankingCase {
    const char *name;
    ListMode mode;
    PointsOrder order;
    int pupils;
    int distinctValues; // few values: many pupils share a rank
    unsigned seed;
    bool oddMark = false;
};

class RankingListOrder : public ::testing::TestWithParam<RankingCase> {};

TEST_P(RankingListOrder, SameLinesAsSortingEveryLine)
{
    const RankingCase c = GetParam();
    std::mt19937 rng(c.seed);
    test::FakeWorld world;
    core::AppState &state = *world.state;
    core::Roster &roster = state.roster;
    roster.SchoolYear = 2026;
    // Every mark: no grade, grades 1..9 (①..⑥, Ⅰ..Ⅲ), and the current pupil's ●.
    const int years[] = {1980, 2008, 2011, 2012, 2013, 2014, 2015, 2016, 2017, 2018, 2019, 2020};
    constexpr int kLevel = 3;
    for (int k = 1; k <= c.pupils; ++k) {
        // Pupil numbers out of roster order.
        const int p = 1 + (k * 7919) % core::kMaxStudent;
        roster.RosterNumbers[std::size_t(k)] = std::int16_t(p);
        roster.StudentNames[std::size_t(p)] = randomName(rng);
        roster.BirthYears[std::size_t(p)] = std::int16_t(years[rng() % std::size(years)]);
        const int v = int(rng() % std::uint32_t(c.distinctValues));
        state.stats.PersonalBest(p, kLevel) = v == 0 ? core::kNoTime : std::int32_t(5 + v);
        state.stats.TotalPoints(p, kLevel) = std::int32_t(v * 37);
        state.stats.PointsToday(p, kLevel) = std::int32_t(rng() % 4 == 0 ? 0 : v % 11);
    }
    roster.RosterCount = c.pupils;
    state.pupil.CurrentStudent = roster.RosterNumbers[std::size_t(c.pupils / 2)];

    for (const QString &filter : GradeFilterItems()) {
        SCOPED_TRACE(filter.toStdString());
        auto pupils = std::make_shared<RankingPupils>(RankingPupilsOf(state, filter));
        if (c.oddMark && c.pupils > 0) {
            // A mark of no known class: lines are grouped by rank alone.
            const int p = roster.RosterNumbers[1];
            pupils->marks[std::size_t(p)] = QStringLiteral("Ⅳ");
            pupils->markClasses[std::size_t(p)] = -1;
        }
        QStringList expected = RankingLines(state, kLevel, c.mode, c.order, *pupils);
        SortListTexts(expected);
        const RankingList list(state, kLevel, c.mode, c.order, pupils);
        ASSERT_EQ(list.count(), expected.size());
        // Read in a shuffled order, so groups are made out of order.
        std::vector<int> rows(std::size_t(list.count()));
        for (int i = 0; i < list.count(); ++i)
            rows[std::size_t(i)] = i;
        std::shuffle(rows.begin(), rows.end(), rng);
        for (int i : rows)
            ASSERT_EQ(list.text(i), expected.at(i)) << "row " << i;
        EXPECT_EQ(list.text(list.count()), QString());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, RankingListOrder,
    ::testing::Values(
        RankingCase{"pointsSoFar", ListMode::Points, PointsOrder::Cumulative, 600, 400, 11},
        RankingCase{"pointsSoFarManyTies", ListMode::Points, PointsOrder::Cumulative, 700, 9, 12},
        RankingCase{"pointsToday", ListMode::Points, PointsOrder::Today, 600, 300, 13},
        RankingCase{"pointsTodayManyTies", ListMode::Points, PointsOrder::Today, 500, 5, 14},
        RankingCase{"times", ListMode::Times, PointsOrder::Cumulative, 650, 500, 15},
        RankingCase{"timesManyTies", ListMode::Times, PointsOrder::Cumulative, 400, 6, 16},
        RankingCase{"oddMark", ListMode::Points, PointsOrder::Cumulative, 500, 7, 19, true},
        RankingCase{"onePupil", ListMode::Points, PointsOrder::Cumulative, 1, 3, 17},
        RankingCase{"nobody", ListMode::Times, PointsOrder::Cumulative, 0, 3, 18}),
    [](const auto &info) { return std::string(info.param.name); });

// Rows that count how often they are asked for.
class CountingRows final : public core::ListRows {
public:
    explicit CountingRows(int n) : m_n(n) {}
    int count() const override { return m_n; }
    QString text(int row) const override
    {
        ++asked;
        return QStringLiteral("行 %1").arg(row);
    }
    mutable int asked = 0;

private:
    int m_n;
};

TEST(ListBox, AsksOnlyForTheRowsItPaints)
{
    core::ListBox box;
    box.resize(300, 400);
    box.show();
    auto rows = std::make_shared<CountingRows>(100000);
    box.setRows(rows);
    QApplication::processEvents();
    box.grab(); // painted
    EXPECT_EQ(box.count(), 100000);
    EXPECT_GT(rows->asked, 0);
    EXPECT_LT(rows->asked, 500);
    EXPECT_EQ(box.text(99999), QStringLiteral("行 99999"));
    EXPECT_EQ(box.text(100000), QString());
    EXPECT_EQ(box.text(-1), QString());
}

TEST(ListBox, CurrentRowAndSignals)
{
    core::ListBox box;
    box.setRows(QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    std::vector<int> changes;
    QObject::connect(&box, &core::ListBox::currentRowChanged,
                     [&](int row) { changes.push_back(row); });
    EXPECT_EQ(box.currentRow(), -1);
    box.setCurrentRow(2);
    EXPECT_EQ(box.currentRow(), 2);
    EXPECT_EQ(box.text(box.currentRow()), QStringLiteral("c"));
    box.setCurrentRow(5); // no such row: none is current
    EXPECT_EQ(box.currentRow(), -1);
    EXPECT_EQ(changes, (std::vector<int>{2, -1}));
    EXPECT_EQ(box.texts(),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    box.clear();
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.currentRow(), -1);
}

TEST(RosterFileLoad, UnchangedFileIsKeptChangedFileIsReadAgain)
{
    test::MenusWorld world;
    world.inst.writeRoster(
        {QStringLiteral("1,2017,0,0,山田太郎,0,,"), QStringLiteral("2,2017,0,0,佐藤花子,0,,")});
    world.start();
    const QString path = records::RosterFile::path(world.state->settings);
    records::RosterFile roster;
    ASSERT_TRUE(roster.load(path));
    ASSERT_EQ(roster.lines().size(), 2u);
    ASSERT_TRUE(roster.load(path));
    EXPECT_EQ(roster.lines().size(), 2u);
    EXPECT_EQ(roster.lines()[1].Name, QStringLiteral("佐藤花子").leftJustified(20, u' '));

    // The same length, one character changed.
    world.inst.writeRoster(
        {QStringLiteral("1,2017,0,0,山田太郎,0,,"), QStringLiteral("2,2017,0,0,佐藤花美,0,,")});
    ASSERT_TRUE(roster.load(path));
    EXPECT_EQ(roster.lines()[1].Name, QStringLiteral("佐藤花美").leftJustified(20, u' '));

    // A text parsed in between is not mistaken for the file.
    roster.parse(QStringLiteral("9,2017,0,0,別人,0,,\r\n"));
    ASSERT_TRUE(roster.load(path));
    ASSERT_EQ(roster.lines().size(), 2u);
    EXPECT_EQ(roster.lines()[0].Number, 1);

    // Gone: nothing is kept.
    QFile::remove(platform::localPath(path));
    EXPECT_FALSE(roster.load(path));
    EXPECT_TRUE(roster.lines().empty());
    EXPECT_EQ(roster.error(), platform::FileError::NotFound);
}

} // namespace
} // namespace tavoro::menus
