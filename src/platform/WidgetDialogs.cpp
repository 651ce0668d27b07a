// Message boxes on Qt widgets.
#include "WidgetDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace tavoro::platform {

void WidgetDialogs::message(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool WidgetDialogs::yesNo(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

bool WidgetDialogs::okCancel(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent);
    return box.exec() == QMessageBox::Ok;
}

QString WidgetDialogs::saveFileName(QWidget *parent, const QString &title,
                                    const QString &suggested, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

} // namespace tavoro::platform
