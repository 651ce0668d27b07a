// Clicks and keys that arrive while a handler is busy: posted to the window's queue, as the
// window system delivers what the user does during a long step, instead of being handled at
// once as QTest's clicks are.
#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace tavoro::test {

// A left click at the centre of `widget` (or at `at`), press and release.
inline void postClick(QWidget *widget, QPoint at = QPoint(-1, -1))
{
    const QPointF local = at.x() < 0 ? QRectF(widget->rect()).center() : QPointF(at);
    const QPointF global = widget->mapToGlobal(local);
    QCoreApplication::postEvent(widget,
                                new QMouseEvent(QEvent::MouseButtonPress, local, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(widget,
                                new QMouseEvent(QEvent::MouseButtonRelease, local, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

// A key typed into `widget`, press and release.
inline void postKey(QWidget *widget, Qt::Key key, const QString &text = QString())
{
    QCoreApplication::postEvent(widget, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(widget,
                                new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

} // namespace tavoro::test
