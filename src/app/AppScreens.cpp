// Window wiring of the program.
#include "AppScreens.h"

#include "core/AppState.h"
#include "ui/Ui.h"
#include "core/Windows.h"
#include "drill/MainFrm.h"
#include "menus/namesel.h"
#include "menus/seisekitime1.h"
#include "platform/Events.h"
#include "records/FrmSyuuryou.h"
#include "teacher/FrmData.h"
#include "teacher/FrmTimeData.h"

#include <QApplication>
#include <QScreen>

namespace tavoro::app {

Q_LOGGING_CATEGORY(lcScreens, "tavoro.screens", QtWarningMsg)

AppScreens::AppScreens(core::AppState &state) : m_state(state) {}

AppScreens::~AppScreens()
{
    closeAll();
}

void AppScreens::unload(QPointer<QWidget> &window)
{
    if (window) {
        window->hide();
        window->deleteLater();
    }
    window = nullptr;
}

void AppScreens::showFullScreen(QWidget *window)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window->setGeometry(screen->availableGeometry());
    window->show();
    window->raise();
    window->activateWindow();
}

void AppScreens::showNameSelection()
{
    // Loaded when it is not; showing it runs its activation (the list in mode 1, every grade,
    // and the level menu unloaded).
    auto *w = qobject_cast<menus::namesel *>(m_nameSelection.data());
    if (!w) {
        w = new menus::namesel(m_state);
        m_nameSelection = w;
    }
    showFullScreen(w);
    w->Form_Activate();
    qCInfo(lcScreens) << "name selection shown";
}

void AppScreens::closeNameSelection()
{
    unload(m_nameSelection);
}

void AppScreens::showLevelMenu()
{
    // Loaded anew when it is not loaded; every showing runs the refresh.
    auto *w = qobject_cast<menus::seisekitime1 *>(m_levelMenu.data());
    if (!w) {
        w = new menus::seisekitime1(m_state);
        m_levelMenu = w;
    }
    showFullScreen(w);
    w->Form_Activate();
}

void AppScreens::closeLevelMenu()
{
    unload(m_levelMenu);
}

void AppScreens::showDrill()
{
    // MainFrm is loaded anew for every run; showing it runs its first activation.
    unload(m_drill);
    auto *drill = new drill::MainFrm(m_state);
    m_drill = drill;
    showFullScreen(drill);
}

void AppScreens::closeDrill()
{
    // The window is deleted once control is back in the event loop, so the drill code that
    // asked for it (the end of its run) can still return through its own frames.
    unload(m_drill);
}

void AppScreens::showFinish()
{
    // Loaded anew after every recorded run.
    unload(m_finish);
    auto *w = new records::FrmSyuuryou(m_state);
    m_finish = w;
    showFullScreen(w);
    w->Form_Activate();
}

void AppScreens::closeFinish()
{
    unload(m_finish);
}

void AppScreens::showCriteriaEditor()
{
    unload(m_criteriaEditor);
    auto *w = new teacher::FrmTimeData(m_state);
    m_criteriaEditor = w;
    showFullScreen(w);
    w->Form_Activate();
}

void AppScreens::closeCriteriaEditor()
{
    unload(m_criteriaEditor);
}

void AppScreens::showRecordBrowser()
{
    unload(m_recordBrowser);
    auto *w = new teacher::FrmData(m_state);
    m_recordBrowser = w;
    showFullScreen(w);
    w->Form_Activate();
}

void AppScreens::closeRecordBrowser()
{
    unload(m_recordBrowser);
}

void AppScreens::showWait()
{
    if (!m_wait)
        m_wait = new core::BASEFRM;
    m_wait->show();
    m_wait->raise();
    platform::processPendingEvents();
}

void AppScreens::closeWait()
{
    if (m_wait) {
        m_wait->hide();
        m_wait->deleteLater();
    }
    m_wait = nullptr;
}

QWidget *AppScreens::wait() const
{
    return m_wait;
}

QWidget *AppScreens::activeWindow() const
{
    if (QWidget *w = QApplication::activeWindow())
        return w;
    for (QWidget *w : {m_finish.data(), m_drill.data(), m_criteriaEditor.data(),
                       m_recordBrowser.data(), m_levelMenu.data(), m_nameSelection.data()})
        if (w && w->isVisible())
            return w;
    return nullptr;
}

void AppScreens::closeAll()
{
    closeWait();
    unload(m_finish);
    unload(m_drill);
    unload(m_criteriaEditor);
    unload(m_recordBrowser);
    unload(m_levelMenu);
    unload(m_nameSelection);
}

} // namespace tavoro::app
