// The program's Japanese Gothic fonts. On Windows the system's own "ＭＳ Ｐゴシック" (and
// "ＭＳ ゴシック" where columns must line up) comes first, where it is installed; elsewhere, and
// as the fallback, Noto Sans CJK JP.
#pragma once

#include <QFont>
#include <QStringList>

namespace tavoro::platform {

// The families to ask for, in their order.
QStringList gothicFamilies();
// The same with every character of one width, full-width ones exactly two half-width ones.
QStringList alignedGothicFamilies();

// A font of those families.
QFont gothicFont();
QFont alignedGothicFont();

} // namespace tavoro::platform
