// The cumulative grade file "成績累積データ.dat": 44-byte records without header, one per
// recorded run, in the order of their recording. Every reader and writer opens it through
// OpenGradeFile and uses the GradeRecord layout below.
#pragma once

#include <QDate>
#include <QString>

#include <array>
#include <cstdint>

namespace tavoro::platform {
class RecordFile;
}

namespace tavoro::core {
struct AppState;
struct Settings;
} // namespace tavoro::core

namespace tavoro::records {

constexpr int kGradeRecordSize = 44;
constexpr int kGradeTextSize = 5;

using GradeText = std::array<char, kGradeTextSize>;

// One record, little-endian, no padding between fields:
//   0 RecDate (double, days since 1899-12-30)   8 RecClock (double, fraction of a day)
//  16 RecStudent (int16)  18 RecLevel (int16)  20 RecSeconds (int32)
//  24 RecSchool  29 RecNote  34 RecPointsText  39 RecReserved (5 bytes each, code page 932,
//     left-aligned, padded with spaces)
// The texts are kept as their bytes so that a record read and written back is unchanged.
struct GradeRecord {
    double RecDate = 0;
    double RecClock = 0;
    std::int16_t RecStudent = 0;
    std::int16_t RecLevel = 0;
    std::int32_t RecSeconds = 0;
    GradeText RecSchool{' ', ' ', ' ', ' ', ' '};
    GradeText RecNote{' ', ' ', ' ', ' ', ' '};
    GradeText RecPointsText{' ', ' ', ' ', ' ', ' '};
    GradeText RecReserved{' ', ' ', ' ', ' ', ' '};

    bool operator==(const GradeRecord &) const = default;
};

// The 44 bytes of a record.
void EncodeGradeRecord(const GradeRecord &record, char *out);
// The record held by 44 bytes.
GradeRecord DecodeGradeRecord(const char *in);

// A text field: the text in code page 932, cut to five bytes without ever splitting a
// double-byte character (the byte left over is a space), padded with spaces.
GradeText GradeTextField(const QString &text);
// The text of a field, padding included.
QString GradeFieldText(const GradeText &field);
// The text of a field without the padding spaces at its end.
QString GradeFieldTrimmed(const GradeText &field);

// The date value of a day (days since 1899-12-30) and back; an invalid QDate for a value
// that is not a day the calendar can hold.
double DateValue(const QDate &date);
QDate DateFromValue(double value);

// The ranges every counting reader accepts: pupil 0..5000, level 0..35 (beyond, a record
// would index past the per-pupil tables), seconds 0..99999, and a date and a time of day
// within the dates 100-01-01..9999-12-31. A record outside them is passed over by the
// statistics, the lists and the graph; the record browser shows it for deletion.
bool GradeRecordInRange(const GradeRecord &record);

// ProgramDataFolder + "成績累積データ.dat".
QString GradeFilePath(const core::Settings &settings);

// Opens the grade file for reading and writing, creating it empty when it is missing (a
// file that may only be read is opened for reading). On failure the file's error() tells
// why.
bool OpenGradeFile(const core::AppState &state, platform::RecordFile &file);

// Number of whole records in the open file (a trailing partial record does not count);
// -1 on error.
std::int64_t GradeRecordCount(platform::RecordFile &file);

// Reads record n (1-based); false when it is not a whole record of the file or on error.
bool ReadGradeRecord(platform::RecordFile &file, std::int64_t n, GradeRecord &record);

// Writes record n (1-based) in place.
bool WriteGradeRecord(platform::RecordFile &file, std::int64_t n, const GradeRecord &record);

// The record the recording step writes for the current run: today, the time of day in
// whole seconds, CurrentStudent, CurrentLevel, RunTime, SchoolCode, an empty note, "0" as
// the points text and five spaces reserved.
GradeRecord MakeRunRecord(core::AppState &state);

} // namespace tavoro::records
