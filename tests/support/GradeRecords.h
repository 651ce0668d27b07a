// Grade records for tests: day values, records as the recording step writes them, and the
// bytes of a grade file holding them.
#pragma once

#include "records/GradeFile.h"

#include <QByteArray>
#include <QDate>

#include <vector>

namespace tavoro::test {

// Days since 1899-12-30.
inline double dayValue(int y, int m, int d)
{
    return records::DateValue(QDate(y, m, d));
}

// A record as the recording step writes it (school "12345"), with the given fields.
inline records::GradeRecord gradeRecord(int pupil, int level, std::int32_t seconds,
                                        double date = dayValue(2026, 12, 9), double clock = 0.375)
{
    records::GradeRecord r;
    r.RecDate = date;
    r.RecClock = clock;
    r.RecStudent = std::int16_t(pupil);
    r.RecLevel = std::int16_t(level);
    r.RecSeconds = seconds;
    r.RecSchool = records::GradeTextField(QStringLiteral("12345"));
    r.RecPointsText = records::GradeTextField(QStringLiteral("0"));
    return r;
}

inline QByteArray encodeRecords(const std::vector<records::GradeRecord> &records)
{
    QByteArray bytes(qsizetype(records.size()) * records::kGradeRecordSize, '\0');
    for (std::size_t i = 0; i < records.size(); ++i)
        records::EncodeGradeRecord(records[i], bytes.data() + i * records::kGradeRecordSize);
    return bytes;
}

// The whole records of a grade file's bytes.
inline std::vector<records::GradeRecord> decodeRecords(const QByteArray &bytes)
{
    std::vector<records::GradeRecord> out;
    for (qsizetype at = 0; at + records::kGradeRecordSize <= bytes.size();
         at += records::kGradeRecordSize)
        out.push_back(records::DecodeGradeRecord(bytes.constData() + at));
    return out;
}

} // namespace tavoro::test
