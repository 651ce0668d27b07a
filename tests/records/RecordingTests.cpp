// The recording step: the best-time checks and the append under the whole-file lock.
#include "RecordsWorld.h"

#include "records/Recording.h"
#include "support/ReadOnly.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

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

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Recording : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::AppState &s = *w.state;
        setUpRun(s);
        s.criteria.ClearCount[3] = 3;
        s.criteria.ClearPoints[3] = 100;
    }

    bool record()
    {
        return records::RecordRun(*w.state, w.state->run.CurrentLevel,
                                  [this](bool waiting) { notices.push_back(waiting); });
    }

    RecordsWorld w;
    std::vector<bool> notices;
};

} // namespace

TEST_F(Recording, FirstRunIntoAMissingFileWritesRecordOneAtOffsetZero)
{
    ASSERT_FALSE(QFile::exists(w.gradePath()));
    ASSERT_TRUE(record());
    const QByteArray bytes = readFile(w.gradePath());
    ASSERT_EQ(bytes.size(), 44);
    EXPECT_EQ(bytes.toHex(' '),
              fromHex("00 00 00 00 a0 a3 e6 40 00 00 00 00 00 00 d8 3f 0c 00 03 00 28 00 00 00"
                      "31 32 33 34 35 20 20 20 20 20 30 20 20 20 20 20 20 20 20 20")
                  .toHex(' '));
    EXPECT_TRUE(notices.empty()); // nothing to wait for
    EXPECT_TRUE(w.dialogs.calls.empty());
    EXPECT_FALSE(w.programExit.requested);
}

TEST_F(Recording, AppendsAfterTheLastRecord)
{
    const GradeRecord a = makeRecord(1, 1, 30);
    const GradeRecord b = makeRecord(2, 2, 31);
    writeFile(w.gradePath(), encode({a, b}));
    ASSERT_TRUE(record());
    const std::vector<GradeRecord> all = decode(readFile(w.gradePath()));
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0], a);
    EXPECT_EQ(all[1], b);
    EXPECT_EQ(all[2], makeRecord(12, 3, 40));
}

TEST_F(Recording, APartialLastRecordIsOverwritten)
{
    const GradeRecord a = makeRecord(1, 1, 30);
    writeFile(w.gradePath(), encode({a}) + QByteArray(17, '\x7f'));
    ASSERT_TRUE(record());
    EXPECT_EQ(readFile(w.gradePath()), encode({a, makeRecord(12, 3, 40)}));
}

TEST_F(Recording, FirstCountedRunIsAPersonalAndASchoolBest)
{
    ASSERT_TRUE(record());
    EXPECT_EQ(w.state->run.NewPersonalBest, 1);
    EXPECT_EQ(w.state->run.NewSchoolBest, 1);
    EXPECT_EQ(w.state->stats.PersonalBest(12, 3), 40);
    EXPECT_EQ(w.state->stats.SchoolBest[3], 40);
}

TEST_F(Recording, ARunEqualToTheBestSetsNoFlag)
{
    w.state->stats.PersonalBest(12, 3) = 40;
    w.state->stats.SchoolBest[3] = 40;
    ASSERT_TRUE(record());
    EXPECT_EQ(w.state->run.NewPersonalBest, 0);
    EXPECT_EQ(w.state->run.NewSchoolBest, 0);
}

TEST_F(Recording, APersonalBestThatIsNotTheSchoolBest)
{
    w.state->stats.PersonalBest(12, 3) = 41;
    w.state->stats.SchoolBest[3] = 35;
    ASSERT_TRUE(record());
    EXPECT_EQ(w.state->run.NewPersonalBest, 1);
    EXPECT_EQ(w.state->run.NewSchoolBest, 0);
    EXPECT_EQ(w.state->stats.PersonalBest(12, 3), 40);
    EXPECT_EQ(w.state->stats.SchoolBest[3], 35);
}

TEST_F(Recording, ATimeOutIsNeverABest)
{
    w.state->run.RunTime = 99999;
    w.state->run.TimeOutFlag = 1;
    ASSERT_TRUE(record());
    EXPECT_EQ(w.state->run.NewPersonalBest, 0);
    EXPECT_EQ(w.state->run.NewSchoolBest, 0);
    EXPECT_EQ(w.state->stats.PersonalBest(12, 3), 99999);
    const std::vector<GradeRecord> all = decode(readFile(w.gradePath()));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].RecSeconds, 99999);
}

TEST_F(Recording, AlreadyClearedUsesTheCountsBeforeTheRun)
{
    core::AppState &s = *w.state;
    s.stats.TotalRuns(12, 3) = 3;
    s.stats.TotalPoints(12, 3) = 99;
    ASSERT_TRUE(record());
    EXPECT_EQ(s.run.AlreadyCleared, 0); // points short by one

    s.stats.TotalPoints(12, 3) = 100;
    ASSERT_TRUE(record());
    EXPECT_EQ(s.run.AlreadyCleared, 1);

    s.stats.TotalRuns(12, 3) = 2;
    ASSERT_TRUE(record());
    EXPECT_EQ(s.run.AlreadyCleared, 0); // runs short by one
}

namespace {

// A data folder in which no run can be recorded, however long one waits.
struct Unwritable {
    const char *what;
    std::function<void(RecordsWorld &)> breakIt;
    int error;             // the system's error number behind the message
    const char16_t *place; // the line before the folder's name
    bool gradeFileLeft;    // a grade file of one record is there and must stay as it is
};

class UnwritableFolder : public ::testing::TestWithParam<Unwritable> {
protected:
    void SetUp() override
    {
        core::AppState &s = *w.state;
        setUpRun(s);
        // The way to the program's data folder is open to the user the test acts as.
        setPermissions(w.inst.root(), kOpenFolder);
        setPermissions(w.inst.dataFolder(), kOpenFolder);
    }
    void TearDown() override
    {
        // So that the temporary installation can be removed.
        QFile::setPermissions(w.inst.programDataFolder(), kOpenFolder);
        QFile::setPermissions(w.inst.root(), kOpenFolder);
        QFile::setPermissions(w.inst.dataFolder(), kOpenFolder);
    }

    RecordsWorld w;
};

} // namespace

TEST_P(UnwritableFolder, EndsTheProgramWithAMessageNamingTheFolderWithoutWaiting)
{
    const Unwritable &c = GetParam();
    const QByteArray before = encode({makeRecord(1, 1, 30)});
    if (c.gradeFileLeft)
        writeFile(w.gradePath(), before);
    c.breakIt(w);
    std::vector<bool> notices;
    const std::uint32_t start = w.clock.tick;
    {
        ReadOnlyUser nobody;
        EXPECT_FALSE(
            records::RecordRun(*w.state, 3, [&](bool waiting) { notices.push_back(waiting); }));
    }
    EXPECT_EQ(w.clock.tick, start); // no retry: waiting would not help
    EXPECT_TRUE(notices.empty());
    ASSERT_EQ(w.dialogs.calls.size(), 1u);
    EXPECT_EQ(w.dialogs.calls[0].kind, QStringLiteral("message"));
    EXPECT_EQ(w.dialogs.calls[0].text,
              QStringLiteral("成績ランダムファイル記録") +
                  QString::fromLocal8Bit(std::strerror(c.error)) + QStringLiteral("\r\n") +
                  QString::fromUtf16(c.place) + w.inst.programDataFolder() +
                  QStringLiteral("\r\nこの回の成績は記録されていません。"));
    EXPECT_TRUE(w.programExit.requested);
    EXPECT_TRUE(w.screens.log.contains(QStringLiteral("closeAll")));
    // The best-time checks before the append have run; the school best after it has not.
    EXPECT_EQ(w.state->run.NewPersonalBest, 1);
    EXPECT_EQ(w.state->run.NewSchoolBest, 0);
    if (c.gradeFileLeft)
        EXPECT_EQ(readFile(w.gradePath()), before);
    else
        EXPECT_FALSE(QFile::exists(w.gradePath()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnwritableFolder,
    ::testing::Values(Unwritable{"the folder is gone",
                                 [](RecordsWorld &w) {
                                     ASSERT_TRUE(
                                         QDir(w.inst.programDataFolder()).removeRecursively());
                                 },
                                 ENOENT, u"フォルダがありません：", false},
                      Unwritable{"a read-only folder without a grade file",
                                 [](RecordsWorld &w) {
                                     setPermissions(w.inst.programDataFolder(), kReadOnlyFolder);
                                 },
                                 EACCES, u"このフォルダの成績ファイルに書き込めません：", false},
                      Unwritable{"a read-only folder with a grade file",
                                 [](RecordsWorld &w) {
                                     setPermissions(w.gradePath(), kReadOnlyFile);
                                     setPermissions(w.inst.programDataFolder(), kReadOnlyFolder);
                                 },
                                 EACCES, u"このフォルダの成績ファイルに書き込めません：", true},
                      Unwritable{"a read-only grade file in a folder open to all",
                                 [](RecordsWorld &w) {
                                     setPermissions(w.gradePath(), kReadOnlyFile);
                                     setPermissions(w.inst.programDataFolder(), kOpenFolder);
                                 },
                                 EACCES, u"このフォルダの成績ファイルに書き込めません：", true}),
    [](const auto &info) { return std::to_string(info.index); });

TEST_F(Recording, APupilOutsideTheTablesIsRecordedWithoutTouchingThem)
{
    w.state->pupil.CurrentStudent = -3;
    ASSERT_TRUE(record());
    EXPECT_EQ(w.state->run.NewPersonalBest, 0);
    EXPECT_EQ(w.state->run.AlreadyCleared, 0);
    const std::vector<GradeRecord> all = decode(readFile(w.gradePath()));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].RecStudent, -3);
}
