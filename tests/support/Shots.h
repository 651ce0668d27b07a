// Renders a window to a PNG under build/shots/ for a person to look at.
#pragma once

#include <QString>

class QWidget;

namespace tavoro::test {

// Grabs `widget` and writes <shots dir>/<name>.png; returns the file's path.
QString saveShot(QWidget *widget, const QString &name);

// The folder the pictures go to (made when missing).
QString shotsDir();

} // namespace tavoro::test
