// The order of every sorted list of the program (the name selection's hidden key list, the
// level menu's rankings, today's and a period's runs, the own times, the graph panel's
// pupil list): ascending by the whole text in the Japanese collation of ICU, case folded
// first (so "a" and "A" stand together while full- and half-width forms still differ), with
// spaces and symbols taking part. One change to it: the hyphen "-", the full-width space
// "　" and the sign "×" stand right after the digit 9. The lines are aligned with spaces
// and lead with a right-aligned number, so that
// - right-aligned numbers read in numeric order (a space stands before every digit);
// - a run ended by time-out ("　　× ...") stands after every timed run of its list (a timed
//   line starts with a space or a digit);
// - a pupil without a time ("--...") stands after every ranked pupil;
// and names stand in the order of their reading (kana), as a Japanese reader expects.
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
