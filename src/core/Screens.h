// Opening and closing the program's windows. The windows live in different libraries; the
// program wires them together behind this interface, and a test may put its own in place.
#pragma once

class QWidget;

namespace tavoro::core {

class Screens {
public:
    virtual ~Screens() = default;
    virtual void showNameSelection() = 0; // namesel
    virtual void closeNameSelection() = 0;
    virtual void showLevelMenu() = 0; // seisekitime1, loaded anew when it is not loaded
    virtual void closeLevelMenu() = 0;
    virtual void showDrill() = 0; // MainFrm, loaded anew for every run
    virtual void closeDrill() = 0;
    virtual void showFinish() = 0; // FrmSyuuryou
    virtual void closeFinish() = 0;
    virtual void showWait() = 0; // BASEFRM
    virtual void closeWait() = 0;
    virtual void showCriteriaEditor() = 0; // FrmTimeData, loaded anew
    virtual void closeCriteriaEditor() = 0;
    virtual void showRecordBrowser() = 0; // FrmData, loaded anew
    virtual void closeRecordBrowser() = 0;
    // The window a message box should stand over, or null.
    virtual QWidget *activeWindow() const = 0;
    // Unloads every window, the last opened first.
    virtual void closeAll() = 0;
};

} // namespace tavoro::core
