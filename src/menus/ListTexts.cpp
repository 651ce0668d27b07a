// Right-aligned numbers of list lines.
#include "ListTexts.h"

namespace tavoro::menus {

QString RightAligned(long long value, int spaces, int width)
{
    const QString text = QString(spaces, u' ') + QString::number(value);
    return text.size() <= width ? text : text.right(width);
}

} // namespace tavoro::menus
