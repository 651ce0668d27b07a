// The program's Japanese Gothic fonts.
#include "Fonts.h"

namespace tavoro::platform {

QStringList gothicFamilies()
{
#ifdef _WIN32
    return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
            QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Meiryo")};
#else
    return {QStringLiteral("Noto Sans CJK JP")};
#endif
}

QStringList alignedGothicFamilies()
{
#ifdef _WIN32
    return {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
            QStringLiteral("Noto Sans Mono CJK JP")};
#else
    return {QStringLiteral("Noto Sans Mono CJK JP")};
#endif
}

QFont gothicFont()
{
    QFont f;
    f.setFamilies(gothicFamilies());
    f.setStyleHint(QFont::SansSerif);
    return f;
}

QFont alignedGothicFont()
{
    QFont f;
    f.setFamilies(alignedGothicFamilies());
    f.setStyleHint(QFont::Monospace);
    return f;
}

} // namespace tavoro::platform
