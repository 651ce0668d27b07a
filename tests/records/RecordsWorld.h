// What the records tests share: an application state on test doubles with a clock whose
// idle step can run a hook (so a test can let another process go on while a wait loop
// runs), a temporary installation, and helpers that write and read grade files.
#pragma once

#include "records/GradeFile.h"
#include "support/Fakes.h"
#include "support/Installation.h"

#include <QByteArray>
#include <QDate>

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

// A clock the test moves; every idle step of a wait loop advances the tick by idleStepMs
// and then calls onIdle with the new tick.
class HookClock final : public platform::Clock {
public:
    float secondsSinceMidnight() override { return float(seconds); }
    QDate today() override { return date; }
    std::uint32_t tickMs() override { return tick; }
    void idle() override
    {
        tick += idleStepMs;
        ++idleCalls;
        if (onIdle)
            onIdle(tick);
    }

    double seconds = 9 * 3600; // 09:00:00
    QDate date = QDate(2026, 12, 9);
    std::uint32_t tick = 1000;
    std::uint32_t idleStepMs = 10;
    long idleCalls = 0;
    std::function<void(std::uint32_t)> onIdle;
};

struct RecordsWorld {
    HookClock clock;
    FakeRandom random;
    FakeSoundPlayer sound;
    FakeDialogs dialogs;
    FakeExit programExit;
    FakeLauncher launcher;
    RecordingScreens screens;
    Installation inst;
    std::unique_ptr<core::AppState> state;

    RecordsWorld()
    {
        state = std::make_unique<core::AppState>(
            core::Services{&clock, &random, &sound, &dialogs, &programExit, &launcher});
        state->screens = &screens;
        state->profile.ProgramTitle = QStringLiteral("Tavoro");
        state->settings.DataFolder = inst.dataFolder();
        state->settings.ProgramDataFolder = inst.programDataFolder();
        state->settings.SchoolCode = QStringLiteral("12345");
    }

    QString gradePath() const { return inst.gradeFilePath(); }
};

// Days since 1899-12-30.
inline double day(int y, int m, int d)
{
    return records::DateValue(QDate(y, m, d));
}

// A record as the recording step writes it, with the given fields.
inline records::GradeRecord makeRecord(int pupil, int level, std::int32_t seconds,
                                       double date = day(2026, 12, 9), double clock = 0.375)
{
    records::GradeRecord r;
    r.RecDate = date;
    r.RecClock = clock;
    r.RecStudent = std::int16_t(pupil);
    r.RecLevel = std::int16_t(level);
    r.RecSeconds = seconds;
    r.RecSchool = records::GradeTextField(QStringLiteral("12345"));
    r.RecPointsText = records::GradeTextField(QStringLiteral("0"));
    return r;
}

inline QByteArray encode(const std::vector<records::GradeRecord> &records)
{
    QByteArray bytes(qsizetype(records.size()) * records::kGradeRecordSize, '\0');
    for (std::size_t i = 0; i < records.size(); ++i)
        records::EncodeGradeRecord(records[i], bytes.data() + i * records::kGradeRecordSize);
    return bytes;
}

inline std::vector<records::GradeRecord> decode(const QByteArray &bytes)
{
    std::vector<records::GradeRecord> out;
    for (qsizetype at = 0; at + records::kGradeRecordSize <= bytes.size();
         at += records::kGradeRecordSize)
        out.push_back(records::DecodeGradeRecord(bytes.constData() + at));
    return out;
}

inline QByteArray fromHex(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

} // namespace tavoro::test
