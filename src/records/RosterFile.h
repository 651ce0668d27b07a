// The school's roster "新名簿.txt" in the data folder: one pupil per line, eight fields
// (pupil number, birth year, two unused numbers, name, state, two unused texts), code page
// 932. Read only; it is kept outside the program.
//
// Each line is read on its own, so a faulty line cannot shift the fields of the lines after
// it. A line with fewer than eight fields, a pupil number outside 1..5000 and another
// number outside its 16 bits are reported and the line is left out. A pupil number given
// again is reported, and the later line replaces the earlier one. A line with more than
// nine fields is reported and kept with its first eight; a ninth field is passed over
// silently. Blank lines are passed over.
//
// The program never writes the roster; the data tool does, when a school takes its class
// lists in. It writes a line as the installation writes its text files: the fields joined
// by commas, without quotes, in code page 932, ended by CR LF.
#pragma once

#include "platform/TextFile.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace tavoro::core {
struct Settings;
}

namespace tavoro::records {

constexpr int kRosterFields = 8;
constexpr int kRosterTextLength = 20; // the name and fields 7 and 8 keep 20 characters

struct RosterLine {
    int line = 0; // line number in the file, from 1
    std::int16_t Number = 0;
    std::int16_t BirthYear = 0;
    std::int16_t Field3 = 0;
    std::int16_t Field4 = 0;
    QString Name;           // cut or padded with spaces to 20 characters
    std::int16_t State = 0; // 0 listed, 2 listed when RosterSwitch is 1, else not listed
    QString Field7;         // 20 characters
    QString Field8;         // 20 characters
};

struct RosterProblem {
    int line = 0;
    QString message;
};

class RosterFile {
public:
    // DataFolder + "新名簿.txt".
    static QString path(const core::Settings &settings);

    // Reads and parses the file; false when it cannot be read (see error()).
    bool load(const QString &path);
    // Parses the text of a roster file.
    void parse(const QString &text);

    // The lines kept, in file order.
    const std::vector<RosterLine> &lines() const { return m_lines; }
    const std::vector<RosterProblem> &problems() const { return m_problems; }

    platform::FileError error() const { return m_error; }
    QString errorText() const { return m_errorText; }

private:
    std::vector<RosterLine> m_lines;
    std::vector<RosterProblem> m_problems;
    platform::FileError m_error = platform::FileError::None;
    QString m_errorText;
};

// A text cut or padded with spaces to 20 characters, as the roster keeps its texts.
QString RosterText(const QString &text);

// Why `text` cannot be written as a text field of the roster (the name, fields 7 and 8):
// a character code page 932 lacks, a comma or a double quote (the line would be read
// differently), a line break, or more than 20 characters (the rest would not be read).
// An empty text when it can.
QString RosterTextProblem(const QString &text);

// One line of the roster without its line end: the eight fields, the texts without the
// half-width spaces that pad them.
QByteArray RosterLineBytes(const RosterLine &line);

// A whole roster file of `lines` in their order.
QByteArray RosterFileBytes(const std::vector<RosterLine> &lines);

// The roster `old` with `lines` put in: the line that gives a pupil's number now (the last
// one that does, as the reader takes it) is replaced where it stands, a pupil the roster
// does not hold yet is added at the end, in the order of `lines`. Every other line, blank
// and faulty lines too, is kept byte for byte with its line end.
QByteArray MergedRosterBytes(const QByteArray &old, const std::vector<RosterLine> &lines);

} // namespace tavoro::records
