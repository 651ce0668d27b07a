// The record browser's listing.
#include "RecordList.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "core/Variant.h"
#include "menus/NameList.h"

#include <algorithm>
#include <cmath>

namespace tavoro::teacher {

int BrowserGrade(int birthYear, const QDate &today, const core::Variant &startMonth)
{
    int grade = menus::SchoolYearOf(today, startMonth) - birthYear - 6;
    if (today.month() < startMonth.number())
        --grade;
    return grade;
}

BrowserRoster MakeBrowserRoster(const std::vector<records::RosterLine> &lines, const QDate &today,
                                const core::Variant &startMonth)
{
    BrowserRoster roster;
    roster.names.resize(core::kStudents);
    roster.gradeCodes.resize(core::kStudents);
    for (const records::RosterLine &line : lines) {
        if (line.Number < 0 || line.Number > core::kMaxStudent)
            continue;
        const QString name = core::TrimSpaces(line.Name);
        roster.names[std::size_t(line.Number)] = name;
        roster.gradeCodes[std::size_t(line.Number)] =
            menus::GradeCode(BrowserGrade(line.BirthYear, today, startMonth)).value_or(QString());
        roster.pupils << QString::number(line.Number) + QStringLiteral(" /  ") + name;
    }
    return roster;
}

QString PupilNumberPart(const QString &pupilText)
{
    const qsizetype slash = pupilText.indexOf(u'/');
    return (slash < 0 ? pupilText : pupilText.left(slash)).trimmed();
}

QString SchoolText(const records::GradeRecord &record, const core::Settings &settings)
{
    if (!settings.SchoolCode.isEmpty() &&
        records::GradeFieldText(record.RecSchool) == settings.SchoolCode)
        return settings.SchoolName;
    return QStringLiteral("他塾");
}

QString RecordDateText(const records::GradeRecord &record)
{
    const QDate date = records::DateFromValue(record.RecDate);
    return date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : QString();
}

QString RecordTimeText(const records::GradeRecord &record)
{
    if (!std::isfinite(record.RecClock))
        return {};
    const double fraction = record.RecClock - std::floor(record.RecClock);
    const long long seconds = std::llround(fraction * 86400.0) % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString RecordRowText(std::int64_t n, const records::GradeRecord &r, const BrowserRoster &roster,
                      const core::Settings &settings)
{
    const bool known = r.RecStudent >= 0 && r.RecStudent <= core::kMaxStudent &&
                       std::size_t(r.RecStudent) < roster.names.size();
    const QString name = known ? roster.names[std::size_t(r.RecStudent)] : QString();
    const QString grade = known ? roster.gradeCodes[std::size_t(r.RecStudent)] : QString();
    QString row;
    row += QString::number(n).rightJustified(4, u' ');
    row += u' ';
    row += RecordDateText(r);
    row += u'　';
    row += RecordTimeText(r).rightJustified(9, u' ');
    row += QStringLiteral("ﾚﾍﾞﾙ") + QString::number(r.RecLevel);
    row += u'　';
    row += QString::number(r.RecSeconds).rightJustified(5, u' ');
    row += QStringLiteral("秒 　");
    row += QString::number(r.RecStudent).rightJustified(4, u' ');
    row += u' ' + (name + QStringLiteral("　　　　　")).left(6);
    row += u' ' + grade;
    row += QStringLiteral("++") + SchoolText(r, settings);
    return row;
}

GradeListModel::GradeListModel(QObject *parent) : QAbstractListModel(parent) {}

void GradeListModel::reset(QByteArray bytes, BrowserRoster roster, const core::Settings &settings)
{
    beginResetModel();
    m_bytes = std::move(bytes);
    m_roster = std::move(roster);
    m_settings = settings;
    m_records.clear();
    const std::int64_t count = m_bytes.size() / records::kGradeRecordSize;
    m_records.reserve(std::size_t(count));
    const char *data = m_bytes.constData();
    for (std::int64_t i = 0; i < count; ++i) {
        const char *level = data + i * records::kGradeRecordSize + 18;
        if (level[0] != 0 || level[1] != 0)
            m_records.push_back(std::int32_t(i + 1));
    }
    endResetModel();
}

int GradeListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

std::int64_t GradeListModel::recordNumber(int row) const
{
    return row >= 0 && row < int(m_records.size()) ? m_records[std::size_t(row)] : 0;
}

int GradeListModel::rowOfRecord(std::int64_t n) const
{
    const auto it = std::lower_bound(m_records.begin(), m_records.end(), n);
    return it != m_records.end() && *it == n ? int(it - m_records.begin()) : -1;
}

records::GradeRecord GradeListModel::record(int row) const
{
    const std::int64_t n = recordNumber(row);
    if (n == 0)
        return {};
    return records::DecodeGradeRecord(m_bytes.constData() + (n - 1) * records::kGradeRecordSize);
}

QString GradeListModel::rowText(int row) const
{
    const std::int64_t n = recordNumber(row);
    if (n == 0)
        return {};
    return RecordRowText(n, record(row), m_roster, m_settings);
}

QVariant GradeListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return rowText(index.row());
}

} // namespace tavoro::teacher
