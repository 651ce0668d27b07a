// A data folder shared by the accounts of one group: tavoro-data init --group, and what the
// program makes in it later, whatever the account's umask.
#include "RecordsWorld.h"

#include "DataTool.h"
#include "platform/Paths.h"
#include "records/GradeWriter.h"
#include "support/ReadOnly.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>

using namespace tavoro;
using namespace tavoro::test;
using records::GradeRecord;

namespace {

constexpr unsigned kFirstPupil = 60001;
constexpr unsigned kSecondPupil = 60002;

struct stat statOf(const QString &path)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(platform::localPath(path)).constData(), &st), 0)
        << path.toStdString();
    return st;
}

// Group-writable, of the group, and a folder with the setgid bit.
void expectShared(const QString &path, gid_t gid)
{
    const struct stat st = statOf(path);
    EXPECT_EQ(st.st_gid, gid) << path.toStdString();
    EXPECT_TRUE(st.st_mode & S_IWGRP) << path.toStdString();
    if (S_ISDIR(st.st_mode)) {
        EXPECT_TRUE(st.st_mode & S_ISGID) << path.toStdString();
    }
}

class SharedFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!OtherAccount::possible())
            GTEST_SKIP() << "switching accounts needs root";
        const struct group *users = ::getgrnam("users");
        ASSERT_NE(users, nullptr);
        gid = users->gr_gid;
        m_umask = ::umask(022);
        // Every account may pass through the test's own folders.
        for (QString p = w.inst.root(); p.size() > 1; p = QFileInfo(p).absolutePath()) {
            if (p == QDir::tempPath())
                break;
            ::chmod(QFile::encodeName(p).constData(), 0755);
        }
        const QString app = w.inst.root() + QStringLiteral("/opt/Tavoro");
        ASSERT_TRUE(QDir().mkpath(app));
        const datatool::Result r = datatool::Run(
            {QStringLiteral("init"), w.inst.root() + QStringLiteral("/share"),
             QStringLiteral("--school-code"), QStringLiteral("12345"),
             QStringLiteral("--school-name"), QStringLiteral("テスト小学校"),
             QStringLiteral("--password"), QStringLiteral("abc"), QStringLiteral("--group"),
             QStringLiteral("users")},
            app, QDate(2026, 12, 9));
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        data = w.inst.root() + QStringLiteral("/share/");
        w.state->settings.ProgramDataFolder = data + QStringLiteral("Tavoro/");
    }
    void TearDown() override
    {
        if (OtherAccount::possible())
            ::umask(m_umask);
    }

    bool append(int pupil, int seconds)
    {
        w.state->pupil.CurrentStudent = std::int16_t(pupil);
        w.state->run.CurrentLevel = 2;
        w.state->run.RunTime = seconds;
        return records::AppendGradeRecord(*w.state);
    }

    // Changes the seconds of record n as the record browser does, with a backup first.
    void changeSeconds(std::int64_t n, std::int32_t seconds)
    {
        const std::vector<GradeRecord> now = grades();
        ASSERT_GE(std::int64_t(now.size()), n);
        GradeRecord changed = now[std::size_t(n - 1)];
        changed.RecSeconds = seconds;
        const records::RewriteResult r =
            records::ChangeGradeRecord(*w.state, n, now[std::size_t(n - 1)], changed, true);
        ASSERT_EQ(r.outcome, records::RewriteOutcome::Written) << r.error.toStdString();
    }

    std::vector<GradeRecord> grades() const
    {
        QFile f(platform::localPath(records::GradeFilePath(w.state->settings)));
        return f.open(QIODevice::ReadOnly) ? decode(f.readAll()) : std::vector<GradeRecord>();
    }

    RecordsWorld w;
    QString data;
    gid_t gid = 0;

private:
    mode_t m_umask = 022;
};

} // namespace

TEST_F(SharedFolder, InitGivesTheDataFolderToTheGroup)
{
    expectShared(data, gid);
    int count = 0;
    QDirIterator it(data, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        expectShared(it.next(), gid);
        ++count;
    }
    EXPECT_GT(count, 10); // the settings, the roster, the criteria, the sounds and their folders
}

TEST_F(SharedFolder, TwoAccountsAppendChangeAndBackUp)
{
    const QString temp = records::GradeTempPath(w.state->settings);
    {
        OtherAccount first(kFirstPupil, gid);
        ASSERT_TRUE(append(1, 30)) << w.dialogs.kindsAndTexts().join(u'\n').toStdString();
    }
    expectShared(records::GradeFilePath(w.state->settings), gid);
    EXPECT_EQ(statOf(records::GradeFilePath(w.state->settings)).st_uid, kFirstPupil);
    {
        OtherAccount second(kSecondPupil, gid);
        ASSERT_TRUE(append(2, 40)) << w.dialogs.kindsAndTexts().join(u'\n').toStdString();
        changeSeconds(1, 31);
        // A part of the copy left behind by this account, as a crash would leave it.
        QFile part(platform::localPath(temp + QStringLiteral(".part")));
        ASSERT_TRUE(part.open(QIODevice::WriteOnly));
        part.close();
        ::chmod(QFile::encodeName(part.fileName()).constData(), 0644);
    }
    const QString backups = records::GradeBackupFolder(w.state->settings);
    expectShared(backups, gid);
    for (const QString &name : QDir(platform::localPath(backups)).entryList(QDir::Files))
        expectShared(backups + name, gid);
    {
        OtherAccount first(kFirstPupil, gid);
        w.clock.advanceSeconds(60); // the next backup gets a name of its own
        changeSeconds(2, 41);
        ASSERT_TRUE(append(3, 50));
    }
    const std::vector<GradeRecord> end = grades();
    ASSERT_EQ(end.size(), 3u);
    EXPECT_EQ(end[0].RecSeconds, 31);
    EXPECT_EQ(end[1].RecSeconds, 41);
    EXPECT_EQ(end[2].RecStudent, 3);
    EXPECT_EQ(QDir(platform::localPath(backups)).entryList(QDir::Files).size(), 2);
    EXPECT_FALSE(QFile::exists(platform::localPath(temp)));
    EXPECT_FALSE(QFile::exists(platform::localPath(temp + QStringLiteral(".part"))));
}
