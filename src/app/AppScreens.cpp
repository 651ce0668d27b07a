// Window wiring of the program.
#include "AppScreens.h"

#include "core/AppState.h"
#include "core/Ui.h"
#include "core/Windows.h"
#include "drill/MainFrm.h"
#include "platform/Events.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace tavoro::app {

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
    if (!m_nameSelection) {
        // Stands in until the name selection window is built.
        auto *w = new QWidget;
        w->setObjectName(QStringLiteral("namesel"));
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setWindowTitle(m_state.profile.ProgramTitle);
        if (m_state.settings.SeasonColor)
            core::setBackground(w, core::vbColor(*m_state.settings.SeasonColor));
        auto *layout = new QVBoxLayout(w);
        auto *title = new QLabel(m_state.profile.ProgramTitle, w);
        title->setFont(core::gothicFont(64, true));
        title->setAlignment(Qt::AlignCenter);
        auto *school = new QLabel(m_state.settings.SchoolName, w);
        school->setFont(core::gothicFont(28));
        school->setAlignment(Qt::AlignCenter);
        auto *line = new QLabel(QStringLiteral("名前を選びなさい"), w);
        line->setFont(core::gothicFont(28));
        line->setAlignment(Qt::AlignCenter);
        layout->addStretch();
        layout->addWidget(title);
        layout->addWidget(school);
        layout->addWidget(line);
        layout->addStretch();
        m_nameSelection = w;
    }
    showFullScreen(m_nameSelection);
}

void AppScreens::closeNameSelection()
{
    unload(m_nameSelection);
}

void AppScreens::showLevelMenu() {}

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

void AppScreens::showFinish() {}

void AppScreens::closeFinish()
{
    unload(m_finish);
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
    for (QWidget *w : {m_finish.data(), m_drill.data(), m_levelMenu.data(),
                       m_nameSelection.data()})
        if (w && w->isVisible())
            return w;
    return nullptr;
}

void AppScreens::closeAll()
{
    closeWait();
    unload(m_finish);
    unload(m_drill);
    unload(m_levelMenu);
    unload(m_nameSelection);
}

} // namespace tavoro::app
