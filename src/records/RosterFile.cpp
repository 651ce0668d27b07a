// Reading and writing the roster file.
#include "RosterFile.h"

#include "FieldLines.h"
#include "core/AppState.h"
#include "core/FieldRanges.h"
#include "core/Profile.h"
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

namespace {

constexpr char kLineEnd[] = "\r\n";

// The lines of a file with their line ends (CR LF, CR or LF, as the field reader takes
// them); the last has none when the file does not end with one. Code page 932 never uses
// CR or LF as the second byte of a character, so the bytes can be split as they are.
struct ByteLine {
    QByteArray text;
    QByteArray end;
};

std::vector<ByteLine> splitLines(const QByteArray &bytes)
{
    std::vector<ByteLine> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        const qsizetype endLength = (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
        lines.push_back({bytes.mid(start, i - start), bytes.mid(i, endLength)});
        i += endLength - 1;
        start = i + 1;
    }
    if (start < n)
        lines.push_back({bytes.mid(start), QByteArray()});
    return lines;
}

} // namespace

QString RosterTextProblem(const QString &text)
{
    for (const QChar c : text) {
        if (c == u',' || c == u'"')
            return QStringLiteral("コンマ（,）や二重引用符（\"）は使えません");
        if (c == u'\r' || c == u'\n')
            return QStringLiteral("改行は使えません");
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        bool lossless = true;
        platform::toCp932(character, &lossless);
        if (!lossless)
            return QStringLiteral("「%1」はシフトJIS（コードページ932）で書けない文字です")
                .arg(character);
        i += length - 1;
    }
    if (text.size() > kRosterTextLength)
        return QStringLiteral("%1 文字あります（名簿は %2 文字までしか読みません）")
            .arg(text.size())
            .arg(kRosterTextLength);
    return {};
}

QByteArray RosterLineBytes(const RosterLine &line)
{
    const QString text = QStringList{QString::number(line.Number),  QString::number(line.BirthYear),
                                     QString::number(line.Field3),  QString::number(line.Field4),
                                     core::TrimSpaces(line.Name),   QString::number(line.State),
                                     core::TrimSpaces(line.Field7), core::TrimSpaces(line.Field8)}
                             .join(u',');
    return platform::toCp932(text);
}

QByteArray RosterFileBytes(const std::vector<RosterLine> &lines)
{
    QByteArray bytes;
    for (const RosterLine &line : lines)
        bytes += RosterLineBytes(line) + kLineEnd;
    return bytes;
}

QByteArray MergedRosterBytes(const QByteArray &old, const std::vector<RosterLine> &lines)
{
    std::vector<ByteLine> file = splitLines(old);
    RosterFile roster;
    roster.parse(platform::fromCp932(old));
    std::unordered_map<int, int> lineOf; // pupil number -> the line the reader takes
    for (const RosterLine &l : roster.lines())
        lineOf[l.Number] = l.line;
    QByteArray added;
    for (const RosterLine &l : lines) {
        const auto it = lineOf.find(l.Number);
        if (it != lineOf.end() && it->second >= 1 && std::size_t(it->second) <= file.size())
            file[std::size_t(it->second - 1)].text = RosterLineBytes(l);
        else
            added += RosterLineBytes(l) + kLineEnd;
    }
    QByteArray bytes;
    for (const ByteLine &l : file)
        bytes += l.text + l.end;
    if (!added.isEmpty() && !file.empty() && file.back().end.isEmpty())
        bytes += kLineEnd;
    return bytes + added;
}

} // namespace tavoro::records
