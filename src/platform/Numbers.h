// Conversions between texts and numbers as the data files and the screens write them.
#pragma once

#include <QString>

#include <limits>

namespace tavoro::platform {

// A whole field read as a number: optional sign, digits, decimal point, exponent, with
// surrounding spaces. Anything else does not read as a number: `ok` is false and 0 results.
double parseNumber(const QString &field, bool *ok = nullptr);

// Whether the field is written as a number, even one too large for a double ("1e400"),
// which parseNumber does not read.
bool writtenAsNumber(const QString &field);

// The leading-number conversion: the number written at the start of the text, spaces
// skipped, reading stops at the first character that cannot continue it; 0 when none.
double leadingNumber(const QString &text);

// Rounds to the nearest whole number, halves to the even neighbour.
long long roundHalfEven(double v);

// The shortest decimal text that reads back as the same single-precision value
// (1, 1.5, 0.7, 1.1), as the screens show multipliers.
QString shortestDecimal(float v);

// The same for a double-precision value.
QString shortestDecimal(double v);

// Plain decimal text of a number: integers without a decimal point.
QString numberText(double v);

} // namespace tavoro::platform

namespace tavoro::platform {

// A number stored into an integer field: rounded halves to even, limited to the field's
// range (a value that does not fit takes the nearest end instead of wrapping).
template <typename T> T toIntegral(double v)
{
    if (!(v == v))
        return 0;
    const double r = double(roundHalfEven(v < -9.2e18 ? -9.2e18 : (v > 9.2e18 ? 9.2e18 : v)));
    if (r <= double(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (r >= double(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}

} // namespace tavoro::platform
