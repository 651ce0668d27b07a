// The program's message boxes: the dialogs seam over QMessageBox.
#pragma once

#include "Dialogs.h"

namespace tavoro::platform {

class WidgetDialogs final : public Dialogs {
public:
    void message(QWidget *parent, const QString &text, const QString &title) override;
    bool yesNo(QWidget *parent, const QString &text, const QString &title) override;
    bool okCancel(QWidget *parent, const QString &text, const QString &title) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &suggested,
                         const QString &filter) override;
};

} // namespace tavoro::platform
