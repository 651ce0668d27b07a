// A value that is a number, a text or nothing, as the settings and criteria files give it.
// The empty value compares equal to 0 and to the empty text; a text never equals a number.
#pragma once

#include <QString>

namespace tavoro::core {

class Variant {
public:
    enum class Kind { Empty, Number, Text };

    Variant() = default;
    Variant(double number) : m_kind(Kind::Number), m_number(number) {}
    Variant(int number) : m_kind(Kind::Number), m_number(number) {}
    static Variant fromText(const QString &text);
    // A field as read from a file: empty, a number when it reads as one, else the text.
    static Variant fromField(const QString &field);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    bool isNumber() const { return m_kind == Kind::Number; }
    bool isText() const { return m_kind == Kind::Text; }

    // The numeric value: 0 for the empty value and for a text.
    double number() const { return m_kind == Kind::Number ? m_number : 0.0; }
    // The value as the screens and files write it.
    QString text() const;

    // Equality with a number: the empty value equals 0, a text equals no number.
    bool equals(double v) const;
    // True when the value is a number (or empty, that is 0) not above `count`: the test
    // "count has reached the limit". A text is never reached.
    bool reachedBy(double count) const;
    // "Limit is set": neither 0 nor empty. A text counts as set.
    bool isNonZero() const { return !equals(0.0); }

    bool operator==(const Variant &other) const;

private:
    Kind m_kind = Kind::Empty;
    double m_number = 0.0;
    QString m_text;
};

} // namespace tavoro::core
