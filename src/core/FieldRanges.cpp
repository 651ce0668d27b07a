// The ranges of the data files' numbers.
#include "FieldRanges.h"

#include "AppState.h"
#include "platform/FieldReader.h"
#include "platform/Numbers.h"

#include <array>

namespace tavoro::core {
namespace {

struct RangedField {
    const char16_t *name;
    NumberRange range;
};

// Times in seconds (99999 is a time-out), points, counts of runs (16 bits), the point
// multiplier, the too-much limits and the periods in days (273 years).
constexpr std::array<RangedField, kRangedCriteriaFields> kCriteriaFields{{
    {u"目標Time", {0, 99999}},
    {u"最低Time", {0, 99999}},
    {u"ｸﾘｱﾎﾟｲﾝﾄ", {0, 999999999}},
    {u"ｸﾘｱ回数", {0, 32767}},
    {u"ﾎﾟｲﾝﾄ倍率", {0, 1000}},
    {u"禁回", {0, 32767}},
    {u"禁点", {0, 999999999}},
    {u"判期間", {0, 99999}},
    {u"禁期間", {0, 99999}},
}};

constexpr int kCriteriaFieldsPerLevel = 12;

} // namespace

QString NumberRange::text() const
{
    return platform::numberText(low) + QStringLiteral("～") + platform::numberText(high);
}

QString RangeFault::message() const
{
    return QStringLiteral("%1 行目の ").arg(line) + fieldMessage();
}

QString RangeFault::fieldMessage() const
{
    return QStringLiteral("%1 番目の項目（%2）「%3」が %4 の範囲にありません")
        .arg(field)
        .arg(name, text, range.text());
}

std::optional<RangeFault> CheckRange(const QString &text, NumberRange range)
{
    // A number too large for a double ("1e400") is written as a number all the same, and
    // out of every range.
    if (!platform::writtenAsNumber(text))
        return std::nullopt;
    bool ok = false;
    const double v = platform::parseNumber(text, &ok);
    if (ok && range.contains(v))
        return std::nullopt;
    RangeFault f;
    f.text = text.trimmed();
    f.range = range;
    return f;
}

NumberRange CriteriaFieldRange(int field)
{
    return kCriteriaFields.at(std::size_t(field - 1)).range;
}

QString CriteriaFieldName(int field)
{
    return QString::fromUtf16(kCriteriaFields.at(std::size_t(field - 1)).name);
}

std::vector<RangeFault> CriteriaRangeFaults(const QString &text)
{
    std::vector<RangeFault> faults;
    platform::FieldReader reader(text);
    for (int index = 0; !reader.atEnd() && index <= kMaxLevel; ++index) {
        for (int field = 1; field <= kCriteriaFieldsPerLevel; ++field) {
            const int line = reader.line();
            const QString value = reader.next();
            if (index == 0 || field > kRangedCriteriaFields)
                continue;
            if (auto f = CheckRange(value, CriteriaFieldRange(field))) {
                f->line = line;
                f->field = field;
                f->name = CriteriaFieldName(field);
                faults.push_back(*f);
            }
        }
    }
    return faults;
}

} // namespace tavoro::core
