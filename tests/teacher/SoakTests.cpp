// Several PCs on one data folder for a while: processes that record runs through the
// recording step while another changes and deletes records as the record browser does.
// Afterwards every run recorded is there exactly once and intact, every deleted record is
// gone, every changed record holds its change, and nothing else moved. Runs for
// TAVORO_SOAK_SECONDS seconds (the build's default when unset).
#include "support/GradeRecords.h"
#include "support/Installation.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

using namespace tavoro;
using records::GradeRecord;

namespace {

constexpr int kAppenders = 3;
constexpr int kFirstAppendingPupil = 101;
constexpr int kOwnRecords = 400;

int soakSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("TAVORO_SOAK_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : TAVORO_SOAK_DEFAULT_SECONDS;
}

std::unique_ptr<QProcess> start(const QString &program, const QStringList &args)
{
    auto p = std::make_unique<QProcess>();
    p->start(program, args);
    EXPECT_TRUE(p->waitForStarted(10000)) << qPrintable(p->errorString());
    EXPECT_TRUE(p->waitForReadyRead(10000));
    EXPECT_EQ(p->readLine().trimmed(), QByteArray("ready"));
    return p;
}

} // namespace

TEST(Soak, RecordingChangingAndDeletingOnOneFolderLoseAndMoveNothing)
{
    const int seconds = soakSeconds();
    test::Installation inst;
    std::vector<GradeRecord> expected;
    for (int i = 0; i < kOwnRecords; ++i)
        expected.push_back(test::gradeRecord(1 + i % 99, 1 + i % 7, 10000 + i));
    inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"),
                    test::encodeRecords(expected));

    std::vector<std::unique_ptr<QProcess>> appenders;
    for (int i = 0; i < kAppenders; ++i)
        appenders.push_back(
            start(QStringLiteral(TAVORO_RECORDS_HELPER),
                  {QStringLiteral("append-for"), inst.programDataFolder(),
                   QString::number(kFirstAppendingPupil + i), QString::number(seconds)}));
    auto editor = start(QStringLiteral(TAVORO_TEACHER_HELPER),
                        {QStringLiteral("edit"), inst.programDataFolder(), QString::number(seconds),
                         QString::number(seconds)});
    for (auto &p : appenders)
        p->write("go\n");
    editor->write("go\n");
    // QProcess hands the lines over only while it waits: all at once, so that they start
    // together.
    for (auto &p : appenders)
        p->waitForBytesWritten(10000);
    editor->waitForBytesWritten(10000);

    const int limitMs = (seconds + 120) * 1000;
    std::map<int, int> appended; // pupil -> runs recorded
    for (int i = 0; i < kAppenders; ++i) {
        QProcess &p = *appenders[std::size_t(i)];
        ASSERT_TRUE(p.state() == QProcess::NotRunning || p.waitForFinished(limitMs));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
        const QByteArray out = p.readAllStandardOutput().trimmed();
        ASSERT_TRUE(out.startsWith("appended ")) << out.constData();
        appended[kFirstAppendingPupil + i] = out.mid(9).toInt();
    }
    ASSERT_TRUE(editor->state() == QProcess::NotRunning || editor->waitForFinished(limitMs));
    ASSERT_EQ(editor->exitCode(), 0) << editor->readAllStandardError().constData();

    // The editor's rewrites, in their order, applied to the records the test wrote.
    int deletions = 0, changes = 0;
    QList<QByteArray> lines = editor->readAllStandardOutput().split('\n');
    for (QByteArray &line : lines)
        line = line.trimmed(); // a Windows helper ends its lines with CR LF
    ASSERT_TRUE(std::find(lines.begin(), lines.end(), QByteArray("end")) != lines.end());
    for (const QByteArray &line : lines) {
        const QList<QByteArray> f = line.trimmed().split(' ');
        if (f.size() < 2)
            continue;
        const int key = f[1].toInt();
        auto it = std::find_if(expected.begin(), expected.end(),
                               [&](const GradeRecord &r) { return r.RecSeconds == key; });
        ASSERT_NE(it, expected.end()) << line.constData();
        if (f[0] == "del") {
            expected.erase(it);
            ++deletions;
        } else {
            ASSERT_EQ(f.size(), 4) << line.constData();
            it->RecSeconds = f[2].toInt();
            it->RecStudent = std::int16_t(f[3].toInt());
            ++changes;
        }
    }

    QFile file(inst.gradeFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size() % records::kGradeRecordSize, 0);
    std::vector<GradeRecord> own;
    std::map<int, int> lastOfPupil;
    for (const GradeRecord &r : test::decodeRecords(bytes)) {
        if (r.RecStudent < kFirstAppendingPupil) {
            own.push_back(r);
            continue;
        }
        // Intact, as the recording step writes it, and each process's runs in its order
        // without a gap or a repeat.
        ASSERT_EQ(r, test::gradeRecord(r.RecStudent, 3, r.RecSeconds, test::dayValue(2026, 12, 9),
                                       36000.0 / 86400.0));
        ASSERT_EQ(r.RecSeconds, lastOfPupil[r.RecStudent] + 1) << r.RecStudent;
        lastOfPupil[r.RecStudent] = r.RecSeconds;
    }
    for (const auto &[pupil, n] : appended)
        EXPECT_EQ(lastOfPupil[pupil], n) << pupil;
    EXPECT_EQ(lastOfPupil.size(), appended.size());
    EXPECT_EQ(own, expected);
    EXPECT_FALSE(
        QFile::exists(inst.programDataFolder() + QStringLiteral("成績累積データtemp.dat")));

    int runs = 0;
    for (const auto &[pupil, n] : appended)
        runs += n;
    std::printf("[          ] %d s: %d runs recorded by %d processes, %d deletions and %d "
                "changes\n",
                seconds, runs, kAppenders, deletions, changes);
    EXPECT_GT(runs, 0);
    EXPECT_GT(deletions + changes, 0);
}
