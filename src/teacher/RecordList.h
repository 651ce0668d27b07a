// The grade file as the record browser lists it: the roster tables of the browser, the
// text of a record's row, and a list model over the file's records that makes a row's text
// only when the row is shown, so that a file of a million records lists at once.
#pragma once

#include "core/AppState.h"
#include "records/GradeFile.h"
#include "records/RosterFile.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QDate>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace tavoro::teacher {

// The browser's view of the roster: every line, whatever its state, with the grade of
// today's date (one lower before the school year's start month).
struct BrowserRoster {
    std::vector<QString> names;      // trimmed, by pupil number 0..5000
    std::vector<QString> gradeCodes; // by pupil number
    QStringList pupils;              // the pupil list: "12 /  山田太郎"
};

BrowserRoster MakeBrowserRoster(const std::vector<records::RosterLine> &lines, const QDate &today,
                                const core::Variant &startMonth);

// The grade of a pupil born in `birthYear` as the browser counts it.
int BrowserGrade(int birthYear, const QDate &today, const core::Variant &startMonth);

// The pupil number a pupil-list text starts with ("12 /  山田太郎" gives 12), as typed.
QString PupilNumberPart(const QString &pupilText);

// The school part of a row: the school's name for a record of this school, "他塾"
// otherwise (always when the installation has no school code).
QString SchoolText(const records::GradeRecord &record, const core::Settings &settings);

// The date and time texts of a record: "2026/12/09", "9:00:00".
QString RecordDateText(const records::GradeRecord &record);
QString RecordTimeText(const records::GradeRecord &record);

// The listing row of record `n`. The record number takes four places, and more when it
// needs them, so that the rows of a file of more than 9999 records keep their order.
QString RecordRowText(std::int64_t n, const records::GradeRecord &record,
                      const BrowserRoster &roster, const core::Settings &settings);

// One row per record whose level is not 0, in record order.
class GradeListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit GradeListModel(QObject *parent = nullptr);

    // Takes the grade file's bytes (a partial record at the end is no record).
    void reset(QByteArray bytes, BrowserRoster roster, const core::Settings &settings);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    QString rowText(int row) const;
    std::int64_t recordNumber(int row) const; // 0 outside the rows
    int rowOfRecord(std::int64_t n) const;    // -1 when no row shows it
    records::GradeRecord record(int row) const;
    const BrowserRoster &roster() const { return m_roster; }

private:
    QByteArray m_bytes;
    std::vector<std::int32_t> m_records; // record numbers of the rows
    BrowserRoster m_roster;
    core::Settings m_settings;
};

} // namespace tavoro::teacher
