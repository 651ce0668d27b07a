// The drill run harness.
#include "DrillHarness.h"

#include "core/Profile.h"
#include "core/Settings.h"

#include <QApplication>
#include <QTest>

#include <cstring>

namespace tavoro::test {

DrillScreens::~DrillScreens()
{
    delete drill.data();
}

void DrillScreens::showDrill()
{
    log << QStringLiteral("showDrill");
    if (drill) {
        drill->hide();
        drill->deleteLater();
    }
    auto *window = new drill::MainFrm(m_state);
    if (!timersConnected) {
        QObject::disconnect(window->sTimer1, &QTimer::timeout, nullptr, nullptr);
        QObject::disconnect(window->sTimer2, &QTimer::timeout, nullptr, nullptr);
    }
    window->resize(size);
    drill = window;
    window->show();
}

void DrillScreens::closeDrill()
{
    log << QStringLiteral("closeDrill");
    if (drill) {
        drill->hide();
        drill->deleteLater();
    }
    drill = nullptr;
}

void DrillScreens::showFinish()
{
    log << QStringLiteral("showFinish");
    finishTick = m_clock.tick;
}

void DrillScreens::showWait()
{
    log << QStringLiteral("showWait");
    if (onShowWait)
        onShowWait();
    waitTick = m_clock.tick;
}

void DrillScreens::closeAll()
{
    log << QStringLiteral("closeAll");
    if (drill) {
        drill->hide();
        drill->deleteLater();
    }
    drill = nullptr;
}

DrillTest::DrillTest() : screens(*world.state, world.clock)
{
    inst.writeDefaults();
    core::AppState &s = *world.state;
    if (auto err = core::LoadSettings(s, inst.programFolder()))
        ADD_FAILURE() << err->message.toStdString();
    core::SetLevelTable(s);
    s.screens = &screens;
    s.pupil.CurrentStudent = 12;
    s.pupil.StudentName = QStringLiteral("山田　太郎          ");
    s.pupil.LoginTime = 9 * 3600 - 600;
    for (int level = 0; level <= core::kMaxLevel; ++level) {
        s.stats.PersonalBest(12, level) = core::kNoTime;
        s.stats.SchoolBest[level] = core::kNoTime;
    }
}

DrillTest::~DrillTest()
{
    flushDeletes();
    delete w.data();
}

void DrillTest::flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

drill::MainFrm *DrillTest::start(int level)
{
    state().run.CurrentLevel = std::int16_t(level);
    core::StartLevel(state());
    w = screens.drill;
    return w;
}

void DrillTest::tick(double seconds)
{
    world.clock.advanceSeconds(seconds);
    w->sTimer1_Timer();
}

void DrillTest::click(int k)
{
    QTest::mouseClick(w->Label1[k], Qt::LeftButton);
}

int DrillTest::shownN() const
{
    return w->Label2->text().toInt();
}

void DrillTest::clickMultiples(int count)
{
    const int n = shownN();
    const int all = std::min(5, 100 / n);
    if (count < 0)
        count = all;
    for (int i = 1; i <= count; ++i)
        click(i * n);
}

QByteArray DrillTest::gradeFile() const
{
    return inst.readBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"));
}

RecordFields ReadRecord(const QByteArray &file, int n)
{
    RecordFields r;
    const qsizetype at = qsizetype(n - 1) * 44;
    if (file.size() < at + 44)
        return r;
    const char *p = file.constData() + at;
    std::memcpy(&r.date, p, 8);
    std::memcpy(&r.clock, p + 8, 8);
    std::int16_t s16;
    std::memcpy(&s16, p + 16, 2);
    r.student = s16;
    std::memcpy(&s16, p + 18, 2);
    r.level = s16;
    std::int32_t s32;
    std::memcpy(&s32, p + 20, 4);
    r.seconds = s32;
    r.school = QByteArray(p + 24, 5);
    r.note = QByteArray(p + 29, 5);
    r.points = QByteArray(p + 34, 5);
    r.reserved = QByteArray(p + 39, 5);
    return r;
}

} // namespace tavoro::test
