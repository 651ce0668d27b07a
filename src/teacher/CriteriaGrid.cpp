// The criteria file read into and written from the editor's grid.
#include "CriteriaGrid.h"

#include "core/Criteria.h"
#include "core/FieldRanges.h"
#include "core/Variant.h"
#include "platform/FieldReader.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"

namespace tavoro::teacher {

CriteriaRow CriteriaHeadings()
{
    return {QStringLiteral("目標Time"),
            QStringLiteral("最低Time"),
            QStringLiteral("ｸﾘｱﾎﾟｲﾝﾄ"),
            QStringLiteral("ｸﾘｱ回数"),
            QStringLiteral("ﾎﾟｲﾝﾄ倍率"),
            QStringLiteral("禁回"),
            QStringLiteral("禁点"),
            QStringLiteral("判期間"),
            QStringLiteral("禁期間"),
            QString(),
            QString(),
            QString()};
}

std::vector<CriteriaRow> ParseCriteriaGrid(const QString &text)
{
    std::vector<CriteriaRow> rows;
    platform::FieldReader reader(text);
    int index = -1;
    while (!reader.atEnd()) {
        ++index;
        CriteriaRow row;
        for (QString &cell : row)
            cell = core::Variant::fromField(reader.next()).text();
        if (index != 0)
            rows.push_back(row);
    }
    return rows;
}

namespace {

bool needsQuotes(const QString &cell)
{
    return cell.contains(u',') || cell.contains(u'\r') || cell.contains(u'\n') ||
           cell.startsWith(u' ') || cell.startsWith(u'\t') || cell.startsWith(u'"');
}

} // namespace

QString CriteriaFileField(const QString &cell)
{
    return needsQuotes(cell) ? u'"' + cell + u'"' : cell;
}

QString CriteriaCellRefusal(const QString &cell, int field)
{
    if (field >= 1 && field <= core::kRangedCriteriaFields) {
        const core::NumberRange range = core::CriteriaFieldRange(field);
        if (core::CheckRange(cell, range)) {
            return QStringLiteral("%1 は %2 の数にしてください")
                .arg(core::CriteriaFieldName(field), range.text());
        }
    }
    bool lossless = true;
    platform::toCp932(cell, &lossless);
    if (!lossless) {
        for (const QChar c : cell) {
            bool one = true;
            platform::toCp932(QString(c), &one);
            if (!one && !c.isSurrogate())
                return QStringLiteral("「%1」はこのデータには使えない文字です").arg(c);
        }
        return QStringLiteral("このデータには使えない文字があります");
    }
    // Within quotes a double quote would end the field early.
    if (cell.contains(u'"') && needsQuotes(cell))
        return QStringLiteral("「\"」はここには使えません");
    return {};
}

QString CriteriaFileText(const std::vector<CriteriaRow> &levels)
{
    QString text;
    auto addLine = [&text](const CriteriaRow &row) {
        for (int i = 0; i < kCriteriaFields; ++i) {
            text += CriteriaFileField(row[std::size_t(i)]);
            text += i < kCriteriaFields - 1 ? QStringLiteral(",") : QStringLiteral("\r\n");
        }
    };
    addLine(CriteriaHeadings());
    for (const CriteriaRow &row : levels)
        addLine(row);
    return text;
}

bool WriteCriteriaFile(const core::AppState &state, const std::vector<CriteriaRow> &levels,
                       QString *errorText)
{
    // writeTextFile writes a temporary file beside the old one and renames it over it.
    return platform::writeTextFile(core::CriteriaFilePath(state), CriteriaFileText(levels),
                                   errorText);
}

} // namespace tavoro::teacher
