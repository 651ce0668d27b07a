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

} // namespace tavoro::menus
