// How list lines write numbers: right-aligned in a fixed width.
#pragma once

#include <QString>

namespace tavoro::menus {

// The last `width` characters of `spaces` spaces followed by the decimal text of `value`: a
// short number is preceded by spaces, a number wider than `width` loses its leading digits.
QString RightAligned(long long value, int spaces, int width);

// The same with four spaces, as the ranking and result lines write their numbers.
inline QString RightNumber(long long value, int width)
{
    return RightAligned(value, 4, width);
}

// The width of a column whose numbers are written in `width` characters: wider when its
// widest number (`widest`, not negative) has more digits, so that no number of the column
// loses its leading digits and the column stays straight, as the ranks do from 100 on.
int ColumnWidth(int width, long long widest);

// A number of a column of `width` characters (from ColumnWidth, at most 5 when nothing
// widened it): the same text as RightNumber while the column keeps its width, and right-
// aligned in the whole width once it is wider.
QString ColumnNumber(long long value, int width);

} // namespace tavoro::menus
