// The state of one program run: folders and settings, the program profile, the criteria,
// the pupil, the run, the statistics, the roster and the sound table, owned by one
// AppState that every window receives by reference. Field names are those the whole
// program uses; widths follow the data they hold (16-bit pupil and level numbers, 32-bit
// times and points, single-precision clock readings).
#pragma once

#include "core/Variant.h"

#include <QDate>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavoro::platform {
class Clock;
class Random;
class SoundPlayer;
class Dialogs;
class ProgramExit;
class Launcher;
class Printer;
} // namespace tavoro::platform

namespace tavoro::core {

class Screens;

constexpr int kMaxLevel = 35;     // levels 0..35; 0 is never a level
constexpr int kMaxStudent = 5000; // pupils 0..5000; 0 is nobody
constexpr int kLevels = kMaxLevel + 1;
constexpr int kStudents = kMaxStudent + 1;
constexpr std::int32_t kNoTime = 99999; // a time-out, or no best time yet

template <typename T> using LevelArray = std::array<T, kLevels>;

// Folders and settings, filled once at start-up.
struct Settings {
    QString AppFolder;         // the program's folder, with a trailing separator
    QString DataFolder;        // data root folder, with a trailing separator
    QString ProgramFolderName; // the name of the program's own folder
    QString ProgramDataFolder; // DataFolder + ProgramFolderName + separator
    QString SoundFolder;       // DataFolder + "音フォルダ" + separator
    Variant SchoolYearStartMonth;
    QString SchoolName;
    QString SchoolCode; // five characters, or empty when the school has no code
    Variant DataChangePassword;
    Variant RosterSwitch;
    std::optional<std::uint32_t> SeasonColor; // &HBBGGRR&
};

// What sets this program apart from the other drills of the family.
struct Profile {
    QString ProgramTitle;
    std::int16_t LevelCount = 0;
    int GoalLevel = 0;
    LevelArray<QString> LevelNames{};
    LevelArray<std::int16_t> LevelRecorded{};
    int AllLevelsOpen = 0;
    int MenuPrintMode = 0;
};

// The teacher-set criteria per level; index 0 holds the heading line of the file.
struct Criteria {
    LevelArray<std::int32_t> TargetTime{};
    LevelArray<std::int32_t> MinTime{};
    LevelArray<std::int32_t> ClearPoints{};
    LevelArray<std::int16_t> ClearCount{};
    LevelArray<float> PointMultiplier{};
    LevelArray<Variant> OveruseCount{};
    LevelArray<Variant> OverusePoints{};
    LevelArray<Variant> PassPeriodDays{};
    LevelArray<Variant> OverusePeriodDays{};
    LevelArray<Variant> CriteriaSpare1{};
    LevelArray<Variant> CriteriaSpare2{};
    LevelArray<Variant> CriteriaSpare3{};
};

// The pupil confirmed on the name selection.
struct Pupil {
    std::int16_t CurrentStudent = 0;
    QString StudentName;
    std::int32_t LoginTime = 0; // seconds since midnight
    QString CurrentGradeCode;
};

// The run in progress.
struct Run {
    std::int16_t CurrentLevel = 0;
    std::int16_t QuestionsPerRun = 0;
    std::int32_t SolvedCount = 0;
    std::int16_t AnswerVerdict = 0; // 1 right, 2 wrong, 0 none
    float RunStartTimer = 0;        // clock at the start, moved back 10 s per wrong answer
    std::int32_t ElapsedSeconds = 0;
    std::int32_t TimeLimit = 0;
    double TimeBarScale = 0;
    std::int16_t RunFinished = 0;
    std::int16_t RecordingStarted = 0;
    std::int16_t TimeOutFlag = 0;
    std::int32_t RunTime = 0;
    std::int16_t NewPersonalBest = 0;
    std::int16_t NewSchoolBest = 0;
    std::int16_t AlreadyCleared = 0;
};

// A table indexed (pupil 0..5000, level 0..35), allocated once.
template <typename T> class PupilLevelTable {
public:
    PupilLevelTable() : m_data(std::size_t(kStudents) * kLevels) {}
    T &operator()(int pupil, int level) { return m_data[std::size_t(pupil) * kLevels + level]; }
    const T &operator()(int pupil, int level) const
    {
        return m_data[std::size_t(pupil) * kLevels + level];
    }
    T *data() { return m_data.data(); }
    std::size_t size() const { return m_data.size(); }

private:
    std::vector<T> m_data;
};

// Counts, points and best times per pupil and level, recomputed from the grade file.
struct Statistics {
    PupilLevelTable<std::int16_t> TotalRuns;
    PupilLevelTable<std::int32_t> TotalPoints;
    PupilLevelTable<std::int16_t> PeriodRuns;
    PupilLevelTable<std::int32_t> PeriodPoints;
    PupilLevelTable<std::int16_t> OveruseRuns;
    PupilLevelTable<std::int32_t> OveruseEarned;
    PupilLevelTable<float> RunsToday;
    PupilLevelTable<std::int32_t> PointsToday;
    PupilLevelTable<std::int32_t> PersonalBest; // kNoTime when the pupil has no run
    LevelArray<std::int32_t> SchoolBest{};
    int GoalCleared = 0;
};

// One listed line of the roster.
struct RosterEntry {
    std::int16_t Number = 0;
    std::int16_t BirthYear = 0;
    std::int16_t Field3 = 0;
    std::int16_t Field4 = 0;
    QString Name;   // padded to 20 characters
    QString Field7; // padded to 20 characters
    QString Field8; // padded to 20 characters
};

// The school's roster as the name selection last read it.
struct Roster {
    std::vector<RosterEntry> Entries = std::vector<RosterEntry>(kStudents); // by listed line
    std::vector<QString> StudentNames = std::vector<QString>(kStudents);    // by pupil number
    std::vector<std::int16_t> BirthYears = std::vector<std::int16_t>(kStudents);
    std::vector<QString> GradeCodes = std::vector<QString>(kStudents);
    std::vector<std::int16_t> RosterNumbers = std::vector<std::int16_t>(kStudents);
    int RosterCount = 0;
    int SchoolYear = 0;
    QString GradeFilter;
    bool ProblemsReported = false; // the roster's problems were shown in this program run
};

// The sound table and the state of the last play.
struct SoundState {
    static constexpr int kCues = 10;
    static constexpr int kSlots = 22; // 0 name, 1..20 files, 21 count
    std::array<std::array<QString, kSlots>, kCues + 1> SoundTable{};
    QString MciCommand;
    QString MciResult;
    std::int16_t SoundErrorCount = 0;
};

// Values the level menu keeps from one showing to the next.
struct MenuState {
    int FirstColumn = 0;
    int ReportPeriod = 0;
};

// The sources of nondeterminism and the outside world, injected so tests control them.
struct Services {
    platform::Clock *clock = nullptr;
    platform::Random *random = nullptr;
    platform::SoundPlayer *sound = nullptr;
    platform::Dialogs *dialogs = nullptr;
    platform::ProgramExit *exit = nullptr;
    platform::Launcher *launcher = nullptr;
    platform::Printer *printer = nullptr;
};

struct AppState {
    explicit AppState(const Services &s) : services(s) {}
    AppState(const AppState &) = delete;
    AppState &operator=(const AppState &) = delete;

    Services services;
    Screens *screens = nullptr;

    Settings settings;
    Profile profile;
    Criteria criteria;
    Pupil pupil;
    Run run;
    Statistics stats;
    Roster roster;
    SoundState sound;
    MenuState menu;

    platform::Clock &clock() const { return *services.clock; }
    platform::Random &random() const { return *services.random; }
    platform::Dialogs &dialogs() const { return *services.dialogs; }
    platform::ProgramExit &programExit() const { return *services.exit; }
    platform::SoundPlayer &soundPlayer() const { return *services.sound; }
    platform::Launcher &launcher() const { return *services.launcher; }
    platform::Printer &printer() const { return *services.printer; }
};

} // namespace tavoro::core
