// Number conversions shared by the file readers and the screens.
#include "Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tavoro::platform {

namespace {

// Whether the whole text (spaces around it aside) is written as a number: optional sign,
// digits, decimal point, exponent.
bool numberSyntax(const std::string &s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    bool digits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        ++i;
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        bool expDigits = false;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            ++j;
            expDigits = true;
        }
        if (!expDigits)
            return false;
        i = j;
    }
    return i == s.size();
}

} // namespace

double parseNumber(const QString &field, bool *ok)
{
    if (ok)
        *ok = false;
    const std::string s = field.trimmed().toStdString();
    if (!numberSyntax(s))
        return 0;
    const double v = std::strtod(s.c_str(), nullptr);
    if (!std::isfinite(v))
        return 0;
    if (ok)
        *ok = true;
    return v;
}

bool writtenAsNumber(const QString &field)
{
    return numberSyntax(field.trimmed().toStdString());
}

double leadingNumber(const QString &text)
{
    // Spaces, tabs and line feeds are passed over anywhere in the number, as the classic
    // conversion does ("1 2" reads 12).
    std::string s;
    int i = 0;
    const int n = int(text.size());
    auto skipBlanks = [&] {
        while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n'))
            ++i;
    };
    skipBlanks();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        s += char(text[i].unicode());
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        if (c >= u'0' && c <= u'9') {
            s += char(c.unicode());
            digits = true;
        } else if (c == u'.' && !point) {
            s += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        std::string e = "e";
        int j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            e += char(text[j++].unicode());
        bool expDigits = false;
        while (j < n && text[j] >= u'0' && text[j] <= u'9') {
            e += char(text[j++].unicode());
            expDigits = true;
        }
        if (expDigits)
            s += e;
    }
    const double v = std::strtod(s.c_str(), nullptr);
    return std::isfinite(v) ? v : 0;
}

long long roundHalfEven(double v)
{
    return static_cast<long long>(std::nearbyint(v));
}

QString shortestDecimal(float v)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, int(r.ptr - buf));
}

QString shortestDecimal(double v)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, int(r.ptr - buf));
}

QString numberText(double v)
{
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15)
        return QString::number(static_cast<long long>(v));
    return shortestDecimal(v);
}

} // namespace tavoro::platform
