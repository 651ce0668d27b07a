// Start-up: the path data file, the common data file, the folders derived from them, the
// season colour and the era date of the splash.
#pragma once

#include "FieldRanges.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>

namespace tavoro::core {

struct AppState;
struct Settings;

// Why start-up cannot go on: the file concerned and what is wrong with it.
struct StartupError {
    QString file;
    QString message; // a sentence for the message box
};

// Reads the two settings files, resolves the folders, sets the profile, loads the criteria
// and the sound table. `programFolder` is the folder of the program file (either
// separator). Returns the first problem that stops start-up, if any.
std::optional<StartupError> LoadSettings(AppState &state, const QString &programFolder);

// DataFolder + "共通データ.txt".
QString CommonDataFilePath(const Settings &settings);

// Resolves only the folders and the school (the steps before the profile); used by the data
// tool as well. `commonDataFault`, when given, receives the first number of the common data
// file outside its field's range (FieldRanges.h), which start-up refuses.
std::optional<StartupError> LoadFolderSettings(
    AppState &state, const QString &programFolder,
    std::optional<RangeFault> *commonDataFault = nullptr);

// The name of the grade file in ProgramDataFolder.
inline constexpr char16_t kGradeFileName[] = u"成績累積データ.dat";

// Whether runs can be recorded: the grade file in ProgramDataFolder, or the folder when
// the file is still missing, may be written. A file or folder that may only be read is an
// error that ends start-up before a pupil plays a run that would be lost.
std::optional<StartupError> CheckGradeFolderWritable(const AppState &state);

// Sets AppFolder, DataFolder, ProgramFolderName, ProgramDataFolder and SoundFolder from the
// program's folder and field 1 of the path data file.
void DeriveFolders(Settings &settings, const QString &programFolder,
                   const QString &dataFolderField);

// Splits field 2 of the common data file into the school code and the school name: five
// leading characters that read as a number other than 0 are the code.
void SplitSchool(const QString &field, QString *code, QString *name);

// The background colour of the month (&HBBGGRR&), unset for a month outside 1..12.
std::optional<std::uint32_t> SeasonColorForMonth(int month);

// Today in the Japanese era format, "令和8年 12月 09日（水）".
QString EraDateText(const QDate &date);

// LoadSettings, then shows the name selection; a start-up problem is shown in a message
// box and ends the program.
void StartProgram(AppState &state, const QString &programFolder);

} // namespace tavoro::core
