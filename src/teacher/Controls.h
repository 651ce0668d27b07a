// The controls the teacher windows make: named labels and buttons, and the font of lists
// whose lines are aligned with spaces.
#pragma once

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QString>

namespace tavoro::teacher {

QLabel *newLabel(QWidget *parent, const QString &name, const QString &text = QString());
QPushButton *newButton(QWidget *parent, const QString &name, const QString &text);

// A font whose full-width characters are exactly two half-width ones, so that lines aligned
// with spaces and full-width spaces stay straight.
QFont alignedListFont(int pixels);

} // namespace tavoro::teacher
