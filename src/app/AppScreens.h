// The program's windows wired together: opens and closes each window the way the flow of
// a pupil's session needs it.
#pragma once

#include "core/Screens.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QWidget>

namespace tavoro::core {
struct AppState;
class BASEFRM;
} // namespace tavoro::core

namespace tavoro::app {

// "tavoro.screens": which window the program shows, at the info level (off unless
// QT_LOGGING_RULES="tavoro.screens.info=true").
Q_DECLARE_LOGGING_CATEGORY(lcScreens)

class AppScreens final : public core::Screens {
public:
    explicit AppScreens(core::AppState &state);
    ~AppScreens() override;

    void showNameSelection() override;
    void closeNameSelection() override;
    void showLevelMenu() override;
    void closeLevelMenu() override;
    void showDrill() override;
    void closeDrill() override;
    void showFinish() override;
    void closeFinish() override;
    void showWait() override;
    void closeWait() override;
    void showCriteriaEditor() override;
    void closeCriteriaEditor() override;
    void showRecordBrowser() override;
    void closeRecordBrowser() override;
    QWidget *activeWindow() const override;
    void closeAll() override;

    QWidget *nameSelection() const { return m_nameSelection; }
    QWidget *levelMenu() const { return m_levelMenu; }
    QWidget *drill() const { return m_drill; }
    QWidget *finish() const { return m_finish; }
    QWidget *criteriaEditor() const { return m_criteriaEditor; }
    QWidget *recordBrowser() const { return m_recordBrowser; }
    QWidget *wait() const;

private:
    void unload(QPointer<QWidget> &window);
    void showFullScreen(QWidget *window);

    core::AppState &m_state;
    QPointer<QWidget> m_nameSelection;
    QPointer<QWidget> m_levelMenu;
    QPointer<QWidget> m_drill;
    QPointer<QWidget> m_finish;
    QPointer<QWidget> m_criteriaEditor;
    QPointer<QWidget> m_recordBrowser;
    QPointer<core::BASEFRM> m_wait;
};

} // namespace tavoro::app
