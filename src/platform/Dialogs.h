// The message box seam (and the choice of a file to save). The program's message boxes are
// WidgetDialogs; a test implementation records each call and answers with a preset reply,
// so no test ever blocks on a dialog.
#pragma once

#include <QString>

class QWidget;

namespace tavoro::platform {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message with an OK button only; returns when it is closed.
    virtual void message(QWidget *parent, const QString &text, const QString &title) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool yesNo(QWidget *parent, const QString &text, const QString &title) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool okCancel(QWidget *parent, const QString &text, const QString &title) = 0;
    // The name of a file to save, starting from `suggested`; empty when cancelled.
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                                 const QString &filter) = 0;
};

} // namespace tavoro::platform
