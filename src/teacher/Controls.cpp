// Controls of the teacher windows.
#include "Controls.h"

#include <algorithm>

namespace tavoro::teacher {

QLabel *newLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QPushButton *newButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QFont alignedListFont(int pixels)
{
    QFont f(QStringLiteral("Noto Sans Mono CJK JP"));
    f.setStyleHint(QFont::Monospace);
    f.setPixelSize(std::max(1, pixels));
    return f;
}

} // namespace tavoro::teacher
