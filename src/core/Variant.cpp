// Values that are a number, a text or nothing.
#include "Variant.h"

#include "platform/Numbers.h"

namespace tavoro::core {

Variant Variant::fromText(const QString &text)
{
    Variant v;
    if (!text.isEmpty()) {
        v.m_kind = Kind::Text;
        v.m_text = text;
    }
    return v;
}

Variant Variant::fromField(const QString &field)
{
    if (field.isEmpty())
        return {};
    bool ok = false;
    const double n = platform::parseNumber(field, &ok);
    if (ok)
        return Variant(n);
    return fromText(field);
}

QString Variant::text() const
{
    switch (m_kind) {
    case Kind::Empty:
        return {};
    case Kind::Number:
        return platform::numberText(m_number);
    case Kind::Text:
        return m_text;
    }
    return {};
}

bool Variant::equals(double v) const
{
    switch (m_kind) {
    case Kind::Empty:
        return v == 0.0;
    case Kind::Number:
        return m_number == v;
    case Kind::Text:
        return false;
    }
    return false;
}

bool Variant::reachedBy(double count) const
{
    return m_kind != Kind::Text && count >= number();
}

bool Variant::operator==(const Variant &other) const
{
    if (m_kind == Kind::Text || other.m_kind == Kind::Text)
        return m_kind == other.m_kind && m_text == other.m_text;
    return number() == other.number();
}

} // namespace tavoro::core
