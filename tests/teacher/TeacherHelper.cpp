// A second process for the tests of the record browser's rewrites:
//   delete FOLDER N         prints "ready", and once a line arrives on its input deletes
//                           record N of the grade file in FOLDER as the browser does; prints
//                           "done" when the rewrite is over
//   edit FOLDER SEED SECONDS
//                           prints "ready", and once a line arrives changes and deletes, in
//                           random order, records of pupils below 100 (the records the test
//                           wrote, told apart by their seconds) until SECONDS of real time have
//                           passed; prints each rewrite that took place as "del KEY" or
//                           "chg KEY NEWKEY PUPIL" (KEY being the record's seconds), then "end"
#include "platform/TextFile.h"
#include "support/HelperProcess.h"
#include "records/GradeWriter.h"

#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <random>

using namespace tavoro;

namespace {

constexpr int kFirstAppendingPupil = 100;

// The grade file of a helper's installation, as it is on the disk.
QByteArray gradeBytes(const test::HelperWorld &w)
{
    return platform::readFileBytes(records::GradeFilePath(w.state.settings)).bytes;
}

using test::say;
using test::waitForLine;

int deleteRecord(const QString &folder, std::int64_t n)
{
    test::HelperWorld w(folder);
    say("ready");
    waitForLine();
    const QByteArray bytes = gradeBytes(w);
    if (n < 1 || n * records::kGradeRecordSize > bytes.size())
        return 3;
    const records::GradeRecord shown =
        records::DecodeGradeRecord(bytes.constData() + (n - 1) * records::kGradeRecordSize);
    const records::RewriteResult r = records::DeleteGradeRecord(w.state, n, shown, false);
    if (r.outcome != records::RewriteOutcome::Written) {
        std::fprintf(stderr, "%s\n", qPrintable(r.error));
        return 1;
    }
    say("done");
    return 0;
}

int edit(const QString &folder, unsigned seed, int seconds)
{
    test::HelperWorld w(folder);
    std::mt19937 rng(seed);
    say("ready");
    waitForLine();
    QElapsedTimer timer;
    timer.start();
    int step = 0;
    while (timer.elapsed() < qint64(seconds) * 1000) {
        const QByteArray bytes = gradeBytes(w);
        std::vector<std::int64_t> own; // record numbers of the test's own records
        for (qsizetype at = 0; at + records::kGradeRecordSize <= bytes.size();
             at += records::kGradeRecordSize) {
            if (records::DecodeGradeRecord(bytes.constData() + at).RecStudent <
                kFirstAppendingPupil)
                own.push_back(at / records::kGradeRecordSize + 1);
        }
        if (own.empty())
            break;
        const std::int64_t n =
            own[std::uniform_int_distribution<std::size_t>(0, own.size() - 1)(rng)];
        const records::GradeRecord shown =
            records::DecodeGradeRecord(bytes.constData() + (n - 1) * records::kGradeRecordSize);
        ++step;
        records::RewriteResult r;
        QByteArray line;
        if (rng() % 2 == 0) {
            r = records::DeleteGradeRecord(w.state, n, shown, step == 1);
            line = "del " + QByteArray::number(shown.RecSeconds);
        } else {
            records::GradeRecord changed = shown;
            changed.RecSeconds = 50000 + step;
            changed.RecStudent = std::int16_t(1 + step % 99);
            r = records::ChangeGradeRecord(w.state, n, shown, changed, step == 1);
            line = "chg " + QByteArray::number(shown.RecSeconds) + ' ' +
                   QByteArray::number(changed.RecSeconds) + ' ' +
                   QByteArray::number(changed.RecStudent);
        }
        if (r.outcome == records::RewriteOutcome::Failed) {
            std::fprintf(stderr, "rewrite failed: %s\n", qPrintable(r.error));
            return 1;
        }
        // Only the appenders touch the file besides this process, and they only append:
        // a record never moves under the editor's feet.
        if (r.outcome == records::RewriteOutcome::Stale) {
            std::fprintf(stderr, "stale record %lld\n", static_cast<long long>(n));
            return 1;
        }
        say(line.constData());
        // A teacher takes a while between two changes; the appenders get the lock meanwhile.
        QThread::msleep(std::uniform_int_distribution<int>(20, 200)(rng));
    }
    say("end");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QStringList args = test::helperArguments(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "delete") == 0)
        return deleteRecord(args[2], std::atoll(argv[3]));
    if (argc == 5 && std::strcmp(argv[1], "edit") == 0)
        return edit(args[2], unsigned(std::atoi(argv[3])), std::atoi(argv[4]));
    std::fprintf(stderr, "usage: teacher_helper delete FOLDER N | edit FOLDER SEED SECONDS\n");
    return 2;
}
