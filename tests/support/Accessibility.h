// What a screen reader meets in a window: its accessibility tree walked from the window, and
// the visible controls in it that have no name to announce.
#pragma once

#include <QStringList>

class QWidget;

namespace tavoro::test {

// The visible controls under `window` whose accessible name is empty, each as its object
// name (or class name) with the path of object names from the window.
QStringList unnamedControls(QWidget *window);

// The visible controls under `window` whose caption does not fit the control (a label or a
// button whose one-line text is wider or taller than the room it has), as "name: text".
QStringList clippedCaptions(QWidget *window);

} // namespace tavoro::test
