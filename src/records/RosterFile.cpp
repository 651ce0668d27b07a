// Reading the roster file.
#include "RosterFile.h"

#include "FieldLines.h"
#include "core/AppState.h"
#include "core/FieldRanges.h"
#include "platform/Numbers.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"

#include <cmath>
#include <optional>
#include <unordered_map>

namespace tavoro::records {

QString RosterFile::path(const core::Settings &settings)
{
    return settings.DataFolder + QStringLiteral("新名簿.txt");
}

QString RosterText(const QString &text)
{
    return text.left(kRosterTextLength).leftJustified(kRosterTextLength, u' ');
}

bool RosterFile::load(const QString &path)
{
    platform::FileBytesResult file = platform::readFileBytes(path);
    m_error = file.error;
    m_errorText = file.errorText;
    m_lines.clear();
    m_problems.clear();
    if (!file.ok())
        return false;
    parse(platform::fromCp932(file.bytes));
    return true;
}

namespace {

// The first of the line's numbers, pupil number aside, outside its 16 bits.
std::optional<core::RangeFault> rangeFault(const QStringList &fields)
{
    const struct {
        int field;
        const char16_t *name;
    } numbers[] = {{2, u"生年"}, {3, u"予備の数1"}, {4, u"予備の数2"}, {6, u"状態"}};
    for (const auto &n : numbers) {
        if (auto f = core::CheckRange(fields.at(n.field - 1), core::kRosterNumberRange)) {
            f->field = n.field;
            f->name = QString::fromUtf16(n.name);
            return f;
        }
    }
    return std::nullopt;
}

} // namespace

void RosterFile::parse(const QString &text)
{
    m_lines.clear();
    m_problems.clear();
    // Pupil number -> the line that gave it last and its place in m_lines.
    struct Given {
        int line;
        std::size_t index;
    };
    std::unordered_map<int, Given> given;
    const auto number16 = [](const QString &field) {
        return platform::toIntegral<std::int16_t>(platform::parseNumber(field));
    };
    for (const FieldLine &l : ReadFieldLines(text)) {
        if (l.isBlank())
            continue;
        const QStringList &f = l.fields;
        if (f.size() < kRosterFields) {
            m_problems.push_back(
                {l.line, QStringLiteral("項目が %1 個しかありません（%2 個必要です）")
                             .arg(f.size())
                             .arg(kRosterFields)});
            continue;
        }
        bool ok = false;
        const double number = platform::parseNumber(f.at(0), &ok);
        if (!ok || number != std::floor(number) || number < 1 || number > core::kMaxStudent) {
            m_problems.push_back(
                {l.line, QStringLiteral("生徒番号「%1」が 1～%2 の範囲にありません")
                             .arg(f.at(0))
                             .arg(core::kMaxStudent)});
            continue;
        }
        if (const auto fault = rangeFault(f)) {
            m_problems.push_back({l.line, fault->fieldMessage()});
            continue;
        }
        const auto [it, fresh] = given.try_emplace(int(number), Given{l.line, m_lines.size()});
        if (!fresh) {
            // A number given again belongs to the later line: the earlier one goes.
            m_problems.push_back(
                {l.line, QStringLiteral("生徒番号 %1 は %2 行目にもあります（この行を読みます）")
                             .arg(int(number))
                             .arg(it->second.line)});
            m_lines[it->second.index].Number = 0;
            it->second = Given{l.line, m_lines.size()};
        }
        // A ninth field (a trailing comma, say) is written by some roster programs.
        if (f.size() > kRosterFields + 1) {
            m_problems.push_back(
                {l.line, QStringLiteral("項目が %1 個あります（%2 個目までを読みます）")
                             .arg(f.size())
                             .arg(kRosterFields)});
        }
        RosterLine r;
        r.line = l.line;
        r.Number = std::int16_t(number);
        r.BirthYear = number16(f.at(1));
        r.Field3 = number16(f.at(2));
        r.Field4 = number16(f.at(3));
        r.Name = RosterText(f.at(4));
        r.State = number16(f.at(5));
        r.Field7 = RosterText(f.at(6));
        r.Field8 = RosterText(f.at(7));
        m_lines.push_back(std::move(r));
    }
    std::erase_if(m_lines, [](const RosterLine &r) { return r.Number == 0; });
}

} // namespace tavoro::records
