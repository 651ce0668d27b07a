// The order of the sorted lists (the name selection's hidden key list and the level menu's
// ranking lists): ascending by the whole text, ignoring case, in the Japanese collation.
#pragma once

#include <QString>
#include <QStringList>

namespace tavoro::menus {

// Sorts the texts the way a sorted list box would hold them after adding them one by one.
// Texts that compare equal keep the order in which they were given.
void SortListTexts(QStringList &texts);

// True when `a` stands before `b` in that order.
bool ListTextLess(const QString &a, const QString &b);

} // namespace tavoro::menus
