// The benchmarks' school.
#include "School.h"

#include "core/Profile.h"
#include "core/Settings.h"
#include "platform/Paths.h"
#include "records/GradeFile.h"
#include "support/GradeRecords.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace tavoro::bench {

School::School(int recordCount) : records(recordCount)
{
    fakes.state->screens = nullptr;
    fakes.clock.seconds = 36000;
    inst.writeDefaults();
    QStringList criteria;
    for (int level = 1; level <= kLevels; ++level)
        criteria << QStringLiteral("%1,%2,100,3,1.5,20,0,30,7,,,")
                        .arg(20 + 5 * level)
                        .arg(60 + 5 * level);
    inst.writeCriteria(criteria);

    std::mt19937 rng(20261209);
    const QString kana = QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねの"
                                        "はひふへほまみむめもやゆよらりるれろわ");
    QStringList roster;
    for (int k = 1; k <= kPupils; ++k) {
        QString name;
        const int length = 2 + int(rng() % 5);
        for (int i = 0; i < length; ++i)
            name += kana.at(qsizetype(rng() % kana.size()));
        roster << QStringLiteral("%1,%2,0,0,%3,0,,").arg(k).arg(2008 + rng() % 14).arg(name);
    }
    inst.writeRoster(roster);
    load();

    const int older = records - kRecentRecords;
    const double today = test::dayValue(2026, 12, 9);
    const double olderFrom = today - 60 - 4 * 365;
    std::vector<double> recentDays(kRecentRecords);
    for (double &d : recentDays)
        d = today - double(rng() % 60);
    std::sort(recentDays.begin(), recentDays.end());
    grades = QByteArray(qsizetype(records) * records::kGradeRecordSize, '\0');
    for (int i = 0; i < records; ++i) {
        const bool recent = i >= older;
        const int k = i - older; // place among the newest
        // Pupil 1 runs only where he is keen.
        records::GradeRecord r = test::gradeRecord(
            2 + int(rng() % (kPupils - 1)), 1 + int(rng() % kLevels),
            rng() % 20 == 0 ? core::kNoTime : std::int32_t(10 + rng() % 150),
            recent ? recentDays[std::size_t(k)] : olderFrom + double(i) * (4 * 365.0) / older,
            double(rng() % 86400) / 86400.0);
        if (recent && k % 50 == 0) {
            r.RecStudent = 1;
            r.RecLevel = std::int16_t(1 + (k / 50) % 3);
        }
        records::EncodeGradeRecord(r, grades.data() + qsizetype(i) * records::kGradeRecordSize);
    }
    restoreGrades();
    state.pupil.CurrentStudent = 1;
    state.pupil.StudentName = QStringLiteral("あおき");
    state.pupil.LoginTime = 32400;
}

void School::load()
{
    if (auto err = core::LoadSettings(state, inst.programFolder())) {
        std::fprintf(stderr, "%s\n", err->message.toLocal8Bit().constData());
        std::abort();
    }
    core::SetLevelTable(state);
    state.profile.LevelCount = kLevels;
    for (int level = 1; level <= kLevels; ++level)
        state.profile.LevelNames[level] = QStringLiteral("%1の段").arg(level);
}

void School::writeGrades(const QByteArray &bytes)
{
    QFile f(platform::localPath(records::GradeFilePath(state.settings)));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
}

QByteArray School::gradesWithRun(int level) const
{
    QByteArray out = grades;
    out.resize(grades.size() + records::kGradeRecordSize);
    records::EncodeGradeRecord(test::gradeRecord(1, level, 20, test::dayValue(2026, 12, 9), 0.5),
                               out.data() + grades.size());
    return out;
}

} // namespace tavoro::bench
