// Reading a school's class list.
#include "ClassList.h"

#include "core/AppState.h"
#include "menus/NameList.h"
#include "platform/TextCodec.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <unordered_map>

namespace tavoro::datatool {

DecodedClassList DecodeClassList(const QByteArray &bytes)
{
    DecodedClassList d;
    const QString refused = QStringLiteral(
        "UTF-8 でもシフトJIS（コードページ932）でもないので読めません（Excel では「CSV UTF-8"
        "（コンマ区切り）」か「CSV（コンマ区切り）」で保存してください）");
    // A file of UTF-16 ("Unicode text") holds zero bytes, which neither encoding writes.
    if (bytes.contains('\0')) {
        d.error = refused;
        return d;
    }
    const QByteArray bom("\xEF\xBB\xBF");
    const bool marked = bytes.startsWith(bom);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString asUtf8 = utf8.decode(marked ? bytes.mid(bom.size()) : bytes);
    if (!utf8.hasError()) {
        d.text = asUtf8;
        return d;
    }
    if (marked) {
        d.error = refused;
        return d;
    }
    // Code page 932 has no character U+FFFD: the decoder writes it for bytes it cannot read.
    const QString asCp932 = platform::fromCp932(bytes);
    if (asCp932.contains(QChar(QChar::ReplacementCharacter))) {
        d.error = refused;
        return d;
    }
    d.text = asCp932;
    return d;
}

std::vector<CsvRow> ReadCsvRows(const QString &text)
{
    std::vector<CsvRow> rows;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    int line = 1;
    while (pos < n) {
        CsvRow row;
        row.line = line;
        bool rowEnded = false;
        while (!rowEnded) {
            QString field;
            if (pos < n && text[pos] == u'"') {
                ++pos;
                bool closed = false;
                while (pos < n) {
                    const QChar c = text[pos];
                    if (c == u'"') {
                        if (pos + 1 < n && text[pos + 1] == u'"') {
                            field += u'"';
                            pos += 2;
                            continue;
                        }
                        ++pos;
                        closed = true;
                        break;
                    }
                    if (c == u'\n')
                        ++line;
                    field += c;
                    ++pos;
                }
                if (!closed)
                    row.unclosed = true;
                // What a spreadsheet would not write after a closing quote is kept as it
                // stands rather than lost.
                while (pos < n && text[pos] != u',' && text[pos] != u'\r' && text[pos] != u'\n')
                    field += text[pos++];
            } else {
                const qsizetype start = pos;
                while (pos < n && text[pos] != u',' && text[pos] != u'\r' && text[pos] != u'\n')
                    ++pos;
                field = text.mid(start, pos - start);
            }
            row.fields.append(field);
            if (pos < n && text[pos] == u',') {
                ++pos;
                continue;
            }
            if (pos < n) {
                if (text[pos] == u'\r' && pos + 1 < n && text[pos + 1] == u'\n')
                    ++pos;
                ++pos;
                ++line;
            }
            rowEnded = true;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

// A cell as a spreadsheet user means it: full-width digits and letters as half-width ones,
// without the spaces around it.
QString plain(const QString &cell)
{
    return cell.normalized(QString::NormalizationForm_KC).trimmed();
}

std::optional<int> wholeNumber(const QString &cell)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    const QString t = plain(cell);
    if (!digits.match(t).hasMatch())
        return std::nullopt;
    return t.toInt();
}

// The grade as the roster would show it in the messages: "小３", or the list's code for a
// grade that has no grade code.
QString gradeName(int grade)
{
    if (const auto code = menus::GradeCode(grade))
        return *code;
    return menus::ListCode(grade);
}

struct Columns {
    int number = -1;
    int name = -1;
    int grade = -1;
    int birth = -1;
    int state = -1;
};

// The columns the header row names, or the problems that make the list unreadable.
Columns columnsOf(const CsvRow &header, std::vector<ClassListProblem> &problems)
{
    Columns c;
    int nameAlias = -1, attendance = -1;
    const struct {
        const char16_t *title;
        int *column;
    } known[] = {{u"番号", &c.number},      {u"氏名", &c.name},  {u"名前", &nameAlias},
                 {u"学年", &c.grade},       {u"生年", &c.birth}, {u"状態", &c.state},
                 {u"出席番号", &attendance}};
    for (qsizetype i = 0; i < header.fields.size(); ++i) {
        const QString title = plain(header.fields.at(i));
        for (const auto &k : known) {
            if (title != QString::fromUtf16(k.title))
                continue;
            if (*k.column >= 0) {
                problems.push_back(
                    {header.line, QStringLiteral("「%1」の列が 2 つあります").arg(title)});
            }
            *k.column = int(i);
        }
    }
    if (c.number < 0) {
        problems.push_back(
            {header.line,
             attendance >= 0
                 ? QStringLiteral("番号の列がありません。出席番号はクラスごとに同じ番号が"
                                  "繰り返されるので、生徒の番号には使えません（学校の中で一人ずつ"
                                  "違う 1～5000 の番号を「番号」の列に入れてください）")
                 : QStringLiteral("番号の列がありません（1 行目に 番号・氏名・学年 などの"
                                  "列の名前が要ります）")});
    }
    if (c.name >= 0 && nameAlias >= 0) {
        problems.push_back({header.line, QStringLiteral("氏名と名前の列が両方あります（どちらか"
                                                        "一つにしてください）")});
    } else if (c.name < 0) {
        c.name = nameAlias;
    }
    if (c.name < 0)
        problems.push_back({header.line, QStringLiteral("氏名（または名前）の列がありません")});
    if (c.grade < 0 && c.birth < 0)
        problems.push_back({header.line, QStringLiteral("学年（または生年）の列がありません")});
    return c;
}

bool blank(const CsvRow &row)
{
    for (const QString &f : row.fields) {
        if (!plain(f).isEmpty())
            return false;
    }
    return true;
}

} // namespace

std::optional<int> GradeOfText(const QString &cell)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(小学?|中学?)?\\s*([0-9]{1,2})\\s*(年生?)?$"));
    const QRegularExpressionMatch m = pattern.match(plain(cell));
    if (!m.hasMatch())
        return std::nullopt;
    const QString school = m.captured(1);
    const int n = m.captured(2).toInt();
    if (school.startsWith(u'小'))
        return n >= 1 && n <= 6 ? std::optional<int>(n) : std::nullopt;
    if (school.startsWith(u'中'))
        return n >= 1 && n <= 3 ? std::optional<int>(6 + n) : std::nullopt;
    return n >= 1 && n <= 9 ? std::optional<int>(n) : std::nullopt;
}

ClassList ReadClassList(const QString &text, int schoolYear)
{
    ClassList list;
    const std::vector<CsvRow> rows = ReadCsvRows(text);
    std::size_t first = 0;
    while (first < rows.size() && blank(rows[first]))
        ++first;
    if (first == rows.size()) {
        list.problems.push_back({0, QStringLiteral("空です（1 行目に列の名前、2 行目から"
                                                   "生徒が一人 1 行要ります）")});
        return list;
    }
    const Columns c = columnsOf(rows[first], list.problems);
    if (!list.problems.empty())
        return list;

    std::unordered_map<int, int> lineOfNumber;
    for (std::size_t r = first + 1; r < rows.size(); ++r) {
        const CsvRow &row = rows[r];
        if (blank(row))
            continue;
        const auto cell = [&](int column) {
            return column >= 0 && column < row.fields.size() ? row.fields.at(column) : QString();
        };
        const auto problem = [&](const QString &message) {
            list.problems.push_back({row.line, message});
        };
        if (row.unclosed) {
            problem(QStringLiteral("二重引用符（\"）が閉じていません"));
            continue;
        }
        const std::size_t before = list.problems.size();
        ClassListPupil p;
        p.line = row.line;

        const QString numberCell = plain(cell(c.number));
        const std::optional<int> number = wholeNumber(numberCell);
        if (numberCell.isEmpty()) {
            problem(QStringLiteral("番号がありません"));
        } else if (!number || *number < 1 || *number > core::kMaxStudent) {
            problem(QStringLiteral("番号「%1」が 1～%2 の数ではありません")
                        .arg(numberCell)
                        .arg(core::kMaxStudent));
        } else if (const auto [it, fresh] = lineOfNumber.try_emplace(*number, row.line); !fresh) {
            problem(QStringLiteral("番号 %1 は %2 行目にもあります").arg(*number).arg(it->second));
        } else {
            p.number = *number;
        }

        p.name = cell(c.name).trimmed();
        if (p.name.isEmpty()) {
            problem(QStringLiteral("氏名がありません"));
        } else if (const QString why = records::RosterTextProblem(p.name); !why.isEmpty()) {
            problem(QStringLiteral("氏名「%1」: %2").arg(p.name, why));
        }

        const QString gradeCell = plain(cell(c.grade));
        const QString birthCell = plain(cell(c.birth));
        std::optional<int> birthYear;
        if (!birthCell.isEmpty()) {
            const std::optional<int> year = wholeNumber(birthCell);
            if (year && *year >= 1000 && *year <= 9999)
                birthYear = *year;
            else
                problem(QStringLiteral("生年「%1」が 4 けたの年ではありません").arg(birthCell));
        }
        // Beside a birth year, the grade the roster shows for it ("幼3", "高1", "大+" too,
        // as the roster's export writes them) agrees with it.
        const auto shownFor = [&](int year) {
            const int grade = menus::GradeOf(schoolYear, year);
            return gradeCell == plain(menus::ListCode(grade)) ||
                   gradeCell == plain(gradeName(grade));
        };
        if (!gradeCell.isEmpty() && !(birthYear && shownFor(*birthYear))) {
            if (const std::optional<int> grade = GradeOfText(gradeCell)) {
                const int year = menus::BirthYearForGrade(schoolYear, *grade);
                if (birthCell.isEmpty())
                    birthYear = year;
                else if (birthYear && *birthYear != year)
                    problem(QStringLiteral("学年「%1」と生年「%2」が合いません（今年度の %3 は"
                                           "生年 %4 です）")
                                .arg(gradeCell, birthCell, gradeName(*grade))
                                .arg(year));
            } else {
                problem(QStringLiteral("学年「%1」が読めません（小3・小３・3年・中1 や 1～9 "
                                       "の数で書いてください）")
                            .arg(gradeCell));
            }
        } else if (gradeCell.isEmpty() && birthCell.isEmpty()) {
            problem(c.grade >= 0 ? QStringLiteral("学年がありません")
                                 : QStringLiteral("生年がありません"));
        }

        const QString stateCell = plain(cell(c.state));
        if (!stateCell.isEmpty()) {
            const std::optional<int> state = wholeNumber(stateCell);
            if (state && *state <= 32767)
                p.state = *state;
            else
                problem(QStringLiteral("状態「%1」が読めません（0: 名前の一覧に出す、2: "
                                       "名簿スイッチが 1 のときだけ出す、そのほか: 出さない）")
                            .arg(stateCell));
        }
        if (list.problems.size() != before)
            continue;
        p.birthYear = *birthYear;
        list.pupils.push_back(std::move(p));
    }
    return list;
}

std::vector<records::RosterLine> RosterLinesOf(const std::vector<ClassListPupil> &pupils,
                                               const std::vector<records::RosterLine> &roster)
{
    std::unordered_map<int, const records::RosterLine *> held;
    for (const records::RosterLine &l : roster)
        held[l.Number] = &l;
    std::vector<records::RosterLine> lines;
    lines.reserve(pupils.size());
    for (const ClassListPupil &p : pupils) {
        const auto it = held.find(p.number);
        records::RosterLine l;
        if (it != held.end()) {
            l = *it->second;
        } else {
            l.Field7 = records::RosterText(QString());
            l.Field8 = records::RosterText(QString());
        }
        l.line = 0;
        l.Number = std::int16_t(p.number);
        l.BirthYear = std::int16_t(p.birthYear);
        l.Name = records::RosterText(p.name);
        l.State = std::int16_t(p.state);
        lines.push_back(std::move(l));
    }
    return lines;
}

} // namespace tavoro::datatool
