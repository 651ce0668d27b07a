// The program as a pupil meets it, each in a process of its own started from the benchmark:
// the start-up (the splash, its 100 ms timer, the settings read, the name selection shown
// with its list painted), timed from the start of the process; and a whole session through
// the real windows, after which the process reports its peak resident memory.
#include "Benchmarks.h"

#include "app/AppScreens.h"
#include "core/Windows.h"
#include "drill/MainFrm.h"
#include "menus/namesel.h"
#include "menus/seisekitime1.h"
#include "records/FrmSyuuryou.h"
#include "teacher/FrmData.h"
#include "teacher/FrmTimeData.h"
#include "ui/Ui.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tavoro::bench {
namespace {

constexpr double kStartUpTargetMs = 1000; // a pupil waits no longer than a second
constexpr const char *kShownLine = "name selection shown\n";
constexpr const char *kPeakLine = "peak resident kB ";

// Ends the event loop once the name selection's list has been painted.
class ListPainted : public QObject {
public:
    ListPainted(const app::AppScreens &screens, QEventLoop &loop) : m_screens(screens), m_loop(loop)
    {
    }
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !painted) {
            const auto *names = qobject_cast<menus::namesel *>(m_screens.nameSelection());
            if (names && watched == names->List1->viewport()) {
                painted = true;
                m_loop.quit(); // after this paint
            }
        }
        return false;
    }

private:
    const app::AppScreens &m_screens;
    QEventLoop &m_loop;
};

// The start of the program as its main does it, on the fakes of the seams: the splash and
// its own timer, which reads the settings and shows the name selection.
menus::namesel *startUp(test::FakeWorld &world, app::AppScreens &screens,
                        const QString &programFolder)
{
    QApplication::setApplicationName(QStringLiteral("Tavoro"));
    QApplication::setFont(ui::gothicFont(15));
    world.state->screens = &screens;
    QEventLoop loop;
    ListPainted watcher(screens, loop);
    qApp->installEventFilter(&watcher);
    auto *splash = new core::Firstfrm(*world.state, programFolder);
    splash->Form_Load();
    if (!watcher.painted)
        loop.exec();
    qApp->removeEventFilter(&watcher);
    return qobject_cast<menus::namesel *>(screens.nameSelection());
}

// Pending events handled and closed windows deleted, as the event loop would.
void settle()
{
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Starts this program again with `arguments`; its standard output once it has ended, or up
// to `line` when that is given (then the time to it is in `elapsedMs`).
QByteArray runItself(const QStringList &arguments, const char *line = nullptr,
                     double *elapsedMs = nullptr)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    QByteArray out;
    while (line && !out.contains(line) && child.waitForReadyRead(60000))
        out += child.readAllStandardOutput();
    if (elapsedMs)
        *elapsedMs = double(clock.nsecsElapsed()) / 1e6;
    child.waitForFinished(600000);
    out += child.readAllStandardOutput();
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return {};
    return out;
}

void startUpTime(benchmark::State &st, School &school)
{
    for (auto _ : st) {
        double ms = 0;
        const QByteArray out =
            runItself({QStringLiteral("--start-up"), school.inst.programFolder()}, kShownLine, &ms);
        if (!out.contains(kShownLine))
            st.SkipWithError("the name selection was not shown");
        st.SetIterationTime(ms / 1000);
    }
}

} // namespace

void registerStartUpBenchmark(School &school, Figures &figures)
{
    measure(figures, "start-up to the name selection" + sizeSuffix(school), kStartUpTargetMs, 7,
            onSchool(school, startUpTime))
        ->UseManualTime()
        ->Iterations(1);
}

int startUpProcess(const QString &programFolder)
{
    test::FakeWorld world;
    app::AppScreens screens(*world.state);
    if (!startUp(world, screens, programFolder))
        return 1;
    std::fputs(kShownLine, stdout);
    std::fflush(stdout);
    return 0;
}

int sessionProcess(const QString &programFolder)
{
    const auto failed = [](const char *step) {
        std::fprintf(stderr, "the session stopped: %s\n", step);
        return 1;
    };
    test::FakeWorld world;
    app::AppScreens screens(*world.state);
    menus::namesel *names = startUp(world, screens, programFolder);
    if (!names)
        return failed("no name selection");

    // Pupil 1, whose runs the own-times view and the graph show.
    for (int row = 1; row < names->List1->count() && names->Label2->text() != u"1"; ++row)
        names->List1->setCurrentRow(row);
    names->Command14_Click();
    settle();
    auto *menu = qobject_cast<menus::seisekitime1 *>(screens.levelMenu());
    if (!menu || world.state->pupil.CurrentStudent != 1)
        return failed("no level menu for pupil 1");

    // A run of level 1, every problem answered with the first multiples of N.
    menu->Command4_Click(1);
    settle();
    QPointer<drill::MainFrm> run = qobject_cast<drill::MainFrm *>(screens.drill());
    if (!run)
        return failed("no drill");
    QObject::disconnect(run->sTimer1, &QTimer::timeout, nullptr, nullptr);
    QObject::disconnect(run->sTimer2, &QTimer::timeout, nullptr, nullptr);
    for (int problem = 1; problem <= 10 && !screens.finish(); ++problem) {
        if (!run)
            return failed("the drill ended without its finish screen");
        world.clock.advanceSeconds(1);
        run->sTimer1_Timer();
        const int n = run->Label2->text().toInt();
        if (n < 1)
            return failed("no problem shown");
        for (int i = 1; i <= std::min(5, 100 / n) && run; ++i)
            run->Label1_Click(i * n);
        settle();
    }
    auto *finish = qobject_cast<records::FrmSyuuryou *>(screens.finish());
    if (!finish)
        return failed("no finish screen");
    QObject::disconnect(finish->Timer1, &QTimer::timeout, nullptr, nullptr);
    finish->Timer1_Timer();
    finish->Command4_Click();
    settle();

    // The own times and the graph.
    menu = qobject_cast<menus::seisekitime1 *>(screens.levelMenu());
    if (!menu)
        return failed("no level menu after the run");
    menu->Option2[2]->setChecked(true);
    menu->Option2_Click(2);
    settle();
    menu->Command17_Click();
    settle();
    if (menu->Picture11->Picture12->blocks().empty())
        return failed("no graph");

    // The teacher tools, each through the password panel.
    const auto openDataFunction = [&screens](int index) {
        auto *m = qobject_cast<menus::seisekitime1 *>(screens.levelMenu());
        if (!m)
            return;
        m->Command8_Click();
        m->Text3->setText(kPassword);
        m->Command10_Click(index);
        settle();
    };
    openDataFunction(0);
    auto *browser = qobject_cast<teacher::FrmData *>(screens.recordBrowser());
    if (!browser || browser->model()->rowCount() == 0)
        return failed("no record browser");
    browser->Command4_Click();
    settle();
    openDataFunction(1);
    auto *editor = qobject_cast<teacher::FrmTimeData *>(screens.criteriaEditor());
    if (!editor)
        return failed("no criteria editor");
    editor->Command4_Click();
    settle();
    if (!screens.levelMenu())
        return failed("no level menu after the criteria editor");

    // VmHWM, the peak of this process image alone: getrusage's ru_maxrss would also count
    // the pages of the benchmark that started it, as they were when it forked.
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return failed("no /proc/self/status");
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            std::printf("%s%ld\n", kPeakLine, line.mid(6).trimmed().split(' ').first().toLong());
    return 0;
}

std::optional<double> sessionPeakMegabytes(School &school)
{
    const QByteArray out = runItself({QStringLiteral("--whole-session"), school.inst.programFolder()});
    school.restoreGrades(); // without the session's run
    const qsizetype at = out.indexOf(kPeakLine);
    if (at < 0)
        return std::nullopt;
    const long kilobytes = out.mid(at + qsizetype(std::strlen(kPeakLine))).trimmed().toLong();
    return double(kilobytes) * 1024 / 1e6;
}

} // namespace tavoro::bench
