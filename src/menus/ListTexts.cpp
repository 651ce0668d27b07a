// Right-aligned numbers of list lines.
#include "ListTexts.h"

#include <algorithm>

namespace tavoro::menus {

QString RightAligned(long long value, int spaces, int width)
{
    const QString digits = QString::number(value);
    if (digits.size() >= width)
        return digits.right(width);
    // The spaces that remain of `spaces` once the text is cut to `width`.
    const qsizetype lead = std::min<qsizetype>(spaces, width - digits.size());
    QString text(lead, u' ');
    text += digits;
    return text;
}

int ColumnWidth(int width, long long widest)
{
    return std::max<int>(width, int(QString::number(widest).size()));
}

QString ColumnNumber(long long value, int width)
{
    return RightAligned(value, std::max(4, width), width);
}

} // namespace tavoro::menus
