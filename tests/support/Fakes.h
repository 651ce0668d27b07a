// Test doubles of the platform seams: a clock the test moves, a scripted random generator,
// a sound player that records its commands, dialogs that record and answer at once, and
// recording program-exit and launcher seams, and a printer that keeps its documents as PDF.
#pragma once

#include "core/AppState.h"
#include "core/Screens.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "platform/Printer.h"
#include "platform/ProgramExit.h"
#include "platform/Random.h"
#include "platform/SoundPlayer.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace tavoro::test {

class FakeClock final : public platform::Clock {
public:
    float secondsSinceMidnight() override { return float(seconds); }
    QDate today() override { return date; }
    std::uint32_t tickMs() override
    {
        const std::uint32_t now = tick;
        tick += tickStepPerRead;
        return now;
    }
    // Advances the tick by idleStepMs, then runs onIdle with the new tick (so a test can let
    // another process go on while a wait loop runs).
    void idle() override
    {
        tick += idleStepMs;
        ++idleCalls;
        if (onIdle)
            onIdle(tick);
    }

    void advanceSeconds(double s)
    {
        seconds += s;
        tick += std::uint32_t(s * 1000);
    }

    double seconds = 9 * 3600; // 09:00:00
    QDate date = QDate(2026, 12, 9);
    std::uint32_t tick = 1000;
    std::uint32_t tickStepPerRead = 0; // how far each reading of the tick moves it
    std::uint32_t idleStepMs = 10;     // how far a wait loop's idle step moves it
    long idleCalls = 0;
    std::function<void(std::uint32_t)> onIdle;
};

// Answers from a queue of preset values first, then from a seeded generator.
class FakeRandom final : public platform::Random {
public:
    explicit FakeRandom(unsigned seed = 12345) : m_engine(seed) {}
    void seed(double value) override { seeds.push_back(value); }
    double next() override
    {
        if (!queued.empty()) {
            const double v = queued.front();
            queued.pop_front();
            return v;
        }
        return std::uniform_real_distribution<double>(0.0, 1.0)(m_engine);
    }
    std::deque<double> queued;
    std::vector<double> seeds;

private:
    std::mt19937_64 m_engine;
};

class FakeSoundPlayer final : public platform::SoundPlayer {
public:
    int play(const QString &path) override
    {
        played.append(path);
        if (onPlay)
            onPlay(path);
        if (!results.empty()) {
            const int r = results.front();
            results.pop_front();
            return r;
        }
        return defaultResult;
    }
    QStringList played;
    std::deque<int> results; // results of the next plays, then defaultResult
    int defaultResult = 0;
    std::function<void(const QString &)> onPlay;
};

class FakeDialogs final : public platform::Dialogs {
public:
    struct Call {
        QString kind, text, title;
    };
    void message(QWidget *, const QString &text, const QString &title) override
    {
        calls.push_back({QStringLiteral("message"), text, title});
    }
    bool yesNo(QWidget *, const QString &text, const QString &title) override
    {
        calls.push_back({QStringLiteral("yesNo"), text, title});
        return nextAnswer;
    }
    bool okCancel(QWidget *, const QString &text, const QString &title) override
    {
        calls.push_back({QStringLiteral("okCancel"), text, title});
        return nextAnswer;
    }
    QString saveFileName(QWidget *, const QString &title, const QString &suggested,
                         const QString &) override
    {
        calls.push_back({QStringLiteral("saveFileName"), suggested, title});
        return nextFileName;
    }
    // Every call so far as "kind:text".
    QStringList kindsAndTexts() const
    {
        QStringList out;
        for (const Call &call : calls)
            out << call.kind + u':' + call.text;
        return out;
    }
    std::vector<Call> calls;
    bool nextAnswer = true;
    QString nextFileName; // the answer of saveFileName
};

// Keeps every document begun as a picture of its pages; `available` false stands for a
// machine without a printer.
class FakePrinter final : public platform::Printer {
public:
    struct Document {
        QString title;
        QBuffer buffer;
        std::unique_ptr<QPdfWriter> pdf;
        QByteArray bytes;
        bool ended = false;
    };
    QPagedPaintDevice *beginDocument(const QString &title) override
    {
        if (!available)
            return nullptr;
        auto doc = std::make_unique<Document>();
        doc->title = title;
        doc->buffer.open(QIODevice::WriteOnly);
        doc->pdf = std::make_unique<QPdfWriter>(&doc->buffer);
        doc->pdf->setResolution(300);
        documents.push_back(std::move(doc));
        return documents.back()->pdf.get();
    }
    bool endDocument() override
    {
        if (documents.empty())
            return false;
        Document &doc = *documents.back();
        doc.pdf.reset();
        doc.bytes = doc.buffer.data();
        doc.ended = true;
        return true;
    }
    bool available = true;
    std::vector<std::unique_ptr<Document>> documents;
};

class FakeExit final : public platform::ProgramExit {
public:
    void exit(int code) override
    {
        requested = true;
        codes.push_back(code);
    }
    bool exitRequested() const override { return requested; }
    bool requested = false;
    std::vector<int> codes;
};

class FakeLauncher final : public platform::Launcher {
public:
    bool start(const QString &program, const QStringList &arguments, QString *error) override
    {
        programs.append(program);
        this->arguments.push_back(arguments);
        if (!succeed && error)
            *error = QStringLiteral("cannot start");
        return succeed;
    }
    QStringList programs;
    std::vector<QStringList> arguments;
    bool succeed = true;
};

// Records which windows were asked for, for tests that do not need the real ones.
class RecordingScreens final : public core::Screens {
public:
    void showNameSelection() override { log.append(QStringLiteral("showNameSelection")); }
    void closeNameSelection() override { log.append(QStringLiteral("closeNameSelection")); }
    void showLevelMenu() override { log.append(QStringLiteral("showLevelMenu")); }
    void closeLevelMenu() override { log.append(QStringLiteral("closeLevelMenu")); }
    void showDrill() override { log.append(QStringLiteral("showDrill")); }
    void closeDrill() override { log.append(QStringLiteral("closeDrill")); }
    void showFinish() override { log.append(QStringLiteral("showFinish")); }
    void closeFinish() override { log.append(QStringLiteral("closeFinish")); }
    void showWait() override { log.append(QStringLiteral("showWait")); }
    void closeWait() override { log.append(QStringLiteral("closeWait")); }
    void showCriteriaEditor() override { log.append(QStringLiteral("showCriteriaEditor")); }
    void closeCriteriaEditor() override { log.append(QStringLiteral("closeCriteriaEditor")); }
    void showRecordBrowser() override { log.append(QStringLiteral("showRecordBrowser")); }
    void closeRecordBrowser() override { log.append(QStringLiteral("closeRecordBrowser")); }
    QWidget *activeWindow() const override { return nullptr; }
    void closeAll() override { log.append(QStringLiteral("closeAll")); }
    QStringList log;
};

// An AppState wired to fresh fakes.
struct FakeWorld {
    FakeClock clock;
    FakeRandom random;
    FakeSoundPlayer sound;
    FakeDialogs dialogs;
    FakeExit programExit;
    FakeLauncher launcher;
    FakePrinter printer;
    RecordingScreens screens;
    std::unique_ptr<core::AppState> state;

    FakeWorld()
    {
        state = std::make_unique<core::AppState>(
            core::Services{&clock, &random, &sound, &dialogs, &programExit, &launcher, &printer});
        state->screens = &screens;
    }
};

} // namespace tavoro::test
