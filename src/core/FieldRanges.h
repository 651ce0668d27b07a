// The ranges of the numbers that the data files hold.
//
// A field that reads as a number outside its field's range is a fault of its file, named
// by file, line and field, and the data it belongs to is not used:
// - the common data file and the criteria file are refused at start-up (the program shows
//   the fault and ends), and the criteria editor does not take such a number into a cell;
// - a roster line holding one is reported and left out, like every faulty roster line;
// - a grade record holding one is passed over by every count and list; the record browser
//   still shows it, so that a teacher can delete it;
// and `tavoro-data check` reports each. A field that does not read as a number at all keeps
// its meaning: 0 in a number field, the text in a variant field.
//
// The ranges are those of the meaning of each field, narrow enough that no count, sum or
// product built on them leaves its integer type: 20000 records of at most 55 points times
// the largest multiplier stay below 2^31.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace tavoro::core {

struct NumberRange {
    double low;
    double high;

    bool contains(double v) const { return v >= low && v <= high; }
    // "0～99999"
    QString text() const;
};

// A number outside its range: where it stands and what it is.
struct RangeFault {
    int line = 0;  // line of the file, from 1
    int field = 0; // field of the line (or of the level's twelve), from 1
    QString name;  // the field's name as the file or the program calls it
    QString text;  // the field as written
    NumberRange range{0, 0};

    // "3 行目の 2 番目の項目（最低Time）「1e308」が 0～99999 の範囲にありません"
    QString message() const;
    // The same without the line: "2 番目の項目（生年）「40000」が …"
    QString fieldMessage() const;
};

// The field's range when `text` reads as a number outside it.
std::optional<RangeFault> CheckRange(const QString &text, NumberRange range);

// The criteria file: the ranges of fields 1..9 of a level line (the three spare fields hold
// anything).
constexpr int kRangedCriteriaFields = 9;
NumberRange CriteriaFieldRange(int field); // field 1..9
QString CriteriaFieldName(int field);      // "目標Time" .. "禁期間"

// The faults of the level lines of a criteria file's text, read with the file's own field
// rule (twelve fields a level, line breaks meaning nothing); the heading line and lines
// beyond level 35 are not looked at.
std::vector<RangeFault> CriteriaRangeFaults(const QString &text);

// The common data file: field 1, the month the school year starts (0 or empty: the school
// year is the calendar year), and field 3, the roster switch.
constexpr NumberRange kStartMonthRange{0, 12};
constexpr NumberRange kRosterSwitchRange{0, 1};

// The roster's numbers other than the pupil number: the field's 16 bits.
constexpr NumberRange kRosterNumberRange{-32768, 32767};

// Grade records: the seconds of a run (99999 marks a time-out), and the date value of its
// day and time of day (100-01-01 to 9999-12-31, the range of the classic date type).
constexpr std::int32_t kMaxRecordSeconds = 99999;
constexpr double kMinRecordDate = -657434;
constexpr double kMaxRecordDate = 2958465.99999;

} // namespace tavoro::core
