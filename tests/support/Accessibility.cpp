// Walks the accessibility tree the way an assistive technology does.
#include "Accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

namespace tavoro::test {
namespace {

QString nameOf(const QObject *object, int index)
{
    // Items of a list or a table have no object of their own.
    if (!object)
        return QStringLiteral("item%1").arg(index);
    return object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                          : object->objectName();
}

void walk(QAccessibleInterface *node, const QString &path, QStringList *unnamed, int depth,
          int index = 0)
{
    if (!node || !node->isValid() || depth > 30)
        return;
    const auto *widget = qobject_cast<const QWidget *>(node->object());
    if (widget && !widget->isVisible())
        return; // a hidden control is not announced, nor anything in it
    const QString name = nameOf(node->object(), index);
    const QString here = path.isEmpty() ? name : path + u'/' + name;
    // A blank cell of a table, and the corner where its headings meet, are read as blank;
    // every other control needs a name.
    const bool blankCell = !node->object() && (node->role() == QAccessible::Cell ||
                                               node->role() == QAccessible::Pane);
    if (node->text(QAccessible::Name).trimmed().isEmpty() && !blankCell)
        *unnamed << here;
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), here, unnamed, depth + 1, i);
}

} // namespace

QStringList unnamedControls(QWidget *window)
{
    QStringList unnamed;
    walk(QAccessible::queryAccessibleInterface(window), QString(), &unnamed, 0);
    return unnamed;
}

QStringList clippedCaptions(QWidget *window)
{
    QStringList clipped;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window))
            continue;
        QString text;
        QRect room;
        if (auto *label = qobject_cast<QLabel *>(w)) {
            if (label->wordWrap() || label->text().contains(u'\n'))
                continue;
            text = label->text();
            room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                  -label->margin(), -label->margin());
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            text = button->text();
            room = button->rect();
        } else {
            continue;
        }
        text.remove(u'&');
        if (text.trimmed().isEmpty())
            continue;
        // The width the text advances and the height its ink takes: the line spacing of a
        // Japanese font leaves room above and below that no glyph uses.
        const QFontMetrics fm(w->font());
        const int width = fm.horizontalAdvance(text);
        const int height = fm.tightBoundingRect(text).height();
        if (width > room.width() + 1 || height > room.height())
            clipped << QStringLiteral("%1: %2 (%3x%4 in %5x%6)")
                           .arg(nameOf(w, 0), text)
                           .arg(width)
                           .arg(height)
                           .arg(room.width())
                           .arg(room.height());
    }
    return clipped;
}

} // namespace tavoro::test
