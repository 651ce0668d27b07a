// What the records tests share: an application state on test doubles (the clock's idle
// step can run a hook), a temporary installation, and helpers that write and read grade
// files.
#pragma once

#include "records/GradeFile.h"
#include "support/Fakes.h"
#include "support/GradeRecords.h"
#include "support/Installation.h"

#include <QByteArray>
#include <QDate>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

// Texts in test failures as UTF-8 rather than as arrays of code units.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace tavoro::test {

struct RecordsWorld : FakeWorld {
    Installation inst;

    RecordsWorld()
    {
        state->profile.ProgramTitle = QStringLiteral("Tavoro");
        state->settings.DataFolder = inst.dataFolder();
        state->settings.ProgramDataFolder = inst.programDataFolder();
        state->settings.SchoolCode = QStringLiteral("12345");
    }

    QString gradePath() const { return inst.gradeFilePath(); }
};

// The names these tests use for the shared grade record builders.
inline double day(int y, int m, int d)
{
    return dayValue(y, m, d);
}
inline records::GradeRecord makeRecord(int pupil, int level, std::int32_t seconds,
                                       double date = dayValue(2026, 12, 9), double clock = 0.375)
{
    return gradeRecord(pupil, level, seconds, date, clock);
}
inline QByteArray encode(const std::vector<records::GradeRecord> &records)
{
    return encodeRecords(records);
}
inline std::vector<records::GradeRecord> decode(const QByteArray &bytes)
{
    return decodeRecords(bytes);
}

// Pupil 12 has just run level 3 in 40 seconds, and nobody has a best time yet.
inline void setUpRun(core::AppState &s)
{
    s.pupil.CurrentStudent = 12;
    s.run.CurrentLevel = 3;
    s.run.RunTime = 40;
    std::fill(s.stats.PersonalBest.data(),
              s.stats.PersonalBest.data() + s.stats.PersonalBest.size(), core::kNoTime);
    s.stats.SchoolBest.fill(core::kNoTime);
}

inline QByteArray fromHex(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

} // namespace tavoro::test
