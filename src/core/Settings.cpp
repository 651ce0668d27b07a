// Start-up: settings files, folders, season colour and era date.
#include "Settings.h"

#include "AppState.h"
#include "Criteria.h"
#include "FieldRanges.h"
#include "Profile.h"
#include "Screens.h"
#include "SoundCues.h"
#include "platform/Dialogs.h"
#include "platform/FieldReader.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"
#include "platform/RecordFile.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>

#include <unicode/calendar.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <memory>

namespace tavoro::core {
namespace {

constexpr int kSettingsFields = 10;

// Reads the ten fields of a settings file, and the line each starts on, or says why it
// cannot.
std::optional<StartupError> readSettingsFile(const QString &path, QStringList *fields,
                                             QList<int> *lines)
{
    const platform::TextFileResult file = platform::readTextFile(path);
    if (!file.ok()) {
        if (file.error == platform::FileError::NotFound) {
            // A folder that is not there (a server not connected, a name mistyped) is named
            // itself rather than the first file missing from it.
            const QDir folder = QFileInfo(platform::localPath(path)).dir();
            if (!folder.exists())
                return StartupError{platform::withTrailingSeparator(folder.path()),
                                    QStringLiteral("フォルダがありません。")};
            return StartupError{path, QStringLiteral("ファイルがありません。")};
        }
        return StartupError{path,
                            QStringLiteral("ファイルを読めません（%1）。").arg(file.errorText)};
    }
    platform::FieldReader reader(file.text);
    for (int i = 0; i < kSettingsFields; ++i) {
        if (reader.atEnd()) {
            return StartupError{
                path,
                QStringLiteral("項目が足りません。%1 項目が必要ですが、%2 項目しかありません。")
                    .arg(kSettingsFields)
                    .arg(i)};
        }
        if (lines)
            lines->append(reader.line());
        fields->append(reader.next());
    }
    return std::nullopt;
}

// A number of the common data file outside its field's range.
std::optional<RangeFault> rangeFault(const QStringList &fields, const QList<int> &lines)
{
    const struct {
        int field;
        const char16_t *name;
        NumberRange range;
    } ranged[] = {{1, u"年度の始まりの月", kStartMonthRange},
                  {3, u"名簿スイッチ", kRosterSwitchRange}};
    for (const auto &r : ranged) {
        const int i = r.field - 1;
        if (auto f = CheckRange(fields.at(i), r.range)) {
            f->line = lines.at(i);
            f->field = r.field;
            f->name = QString::fromUtf16(r.name);
            return f;
        }
    }
    return std::nullopt;
}

QString absoluteFolder(const QString &folder, const QString &base)
{
    const QString local = platform::localPath(folder);
    const bool driveLetter = folder.size() >= 2 && folder[1] == u':' && folder[0].isLetter();
    if (folder.isEmpty() || driveLetter || QDir::isAbsolutePath(local))
        return folder;
    // A relative data folder is taken from the program's folder, not from wherever the
    // program happened to be started.
    return base + folder;
}

} // namespace

void SplitSchool(const QString &field, QString *code, QString *name)
{
    const QString head = field.left(5);
    if (platform::leadingNumber(head) != 0) {
        *code = head;
        *name = field.mid(5);
    } else {
        code->clear();
        *name = field;
    }
}

std::optional<std::uint32_t> SeasonColorForMonth(int month)
{
    if (month >= 1 && month <= 2)
        return 0x80FF;
    if (month >= 3 && month <= 5)
        return 0xC0FFC0;
    if (month >= 6 && month <= 8)
        return 0xC0C000;
    if (month >= 9 && month <= 11)
        return 0x40C0;
    if (month == 12)
        return 0xC0FFC0;
    return std::nullopt;
}

QString EraDateText(const QDate &date)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale("ja_JP@calendar=japanese");
    std::unique_ptr<icu::TimeZone> gmt(icu::TimeZone::createTimeZone("GMT"));
    std::unique_ptr<icu::Calendar> cal(icu::Calendar::createInstance(*gmt, locale, status));
    if (U_FAILURE(status))
        return date.toString(QStringLiteral("yyyy年 M月 dd日"));
    cal->clear();
    // The Japanese calendar counts years by era; set the day through the Gregorian
    // milliseconds so that the era is worked out by ICU.
    std::unique_ptr<icu::Calendar> greg(
        icu::Calendar::createInstance(*gmt, icu::Locale("en_US@calendar=gregorian"), status));
    greg->clear();
    greg->set(date.year(), date.month() - 1, date.day(), 12, 0, 0);
    const UDate when = greg->getTime(status);
    // The era year is written in digits (令和1年), so it is taken from the calendar rather
    // than from a pattern that would write the first year as 元年.
    cal->setTime(when, status);
    const int eraYear = cal->get(UCAL_YEAR, status);
    icu::SimpleDateFormat eraFmt(icu::UnicodeString(u"G"), locale, status);
    icu::SimpleDateFormat restFmt(icu::UnicodeString(u"M月 dd日（E）"), locale, status);
    if (U_FAILURE(status))
        return date.toString(QStringLiteral("yyyy年 M月 dd日"));
    eraFmt.adoptCalendar(cal.release());
    eraFmt.setTimeZone(*gmt);
    restFmt.setTimeZone(*gmt);
    icu::UnicodeString era, rest;
    eraFmt.format(when, era);
    restFmt.format(when, rest);
    auto toQ = [](const icu::UnicodeString &u) {
        return QString(reinterpret_cast<const QChar *>(u.getBuffer()), u.length());
    };
    return toQ(era) + QString::number(eraYear) + QStringLiteral("年 ") + toQ(rest);
}

void DeriveFolders(Settings &s, const QString &programFolder, const QString &dataFolderField)
{
    QString folder = programFolder;
    while (folder.size() > 1 && platform::isSeparator(folder.back()))
        folder.chop(1);
    s.AppFolder = platform::withTrailingSeparator(folder);
    // A data folder written without its trailing separator would glue the file names to
    // the folder's name; add the separator.
    s.DataFolder = platform::withTrailingSeparator(absoluteFolder(dataFolderField, s.AppFolder));
    s.ProgramFolderName = platform::lastComponent(folder);
    s.ProgramDataFolder = s.DataFolder + s.ProgramFolderName + QStringLiteral("\\");
    s.SoundFolder = s.DataFolder + QStringLiteral("音フォルダ\\");
}

std::optional<StartupError> LoadFolderSettings(AppState &state, const QString &programFolder,
                                               std::optional<RangeFault> *commonDataFault)
{
    Settings &s = state.settings;
    const QString pathFile =
        platform::withTrailingSeparator(programFolder) + QStringLiteral("..\\パスデータ.txt");
    QStringList path;
    if (auto err = readSettingsFile(pathFile, &path, nullptr))
        return err;
    if (path.at(0).trimmed().isEmpty())
        return StartupError{pathFile, QStringLiteral("データフォルダが書かれていません。")};
    DeriveFolders(s, programFolder, path.at(0));

    QStringList common;
    QList<int> lines;
    if (auto err = readSettingsFile(CommonDataFilePath(s), &common, &lines))
        return err;
    if (commonDataFault)
        *commonDataFault = rangeFault(common, lines);
    s.SchoolYearStartMonth = Variant::fromField(common.at(0));
    SplitSchool(common.at(1), &s.SchoolCode, &s.SchoolName);
    s.RosterSwitch = Variant::fromField(common.at(2));
    s.DataChangePassword = Variant::fromField(common.at(5));
    return std::nullopt;
}

QString CommonDataFilePath(const Settings &settings)
{
    return settings.DataFolder + QStringLiteral("共通データ.txt");
}

std::optional<StartupError> LoadSettings(AppState &state, const QString &programFolder)
{
    std::optional<RangeFault> commonDataFault;
    if (auto err = LoadFolderSettings(state, programFolder, &commonDataFault))
        return err;
    if (commonDataFault)
        return StartupError{CommonDataFilePath(state.settings),
                            commonDataFault->message() + QStringLiteral("。")};
    SetProfile(state);
    const QString programData = state.settings.ProgramDataFolder;
    if (!QFileInfo(platform::localPath(programData)).isDir())
        return StartupError{programData, QStringLiteral("フォルダがありません。")};
    if (auto err = LoadCriteria(state))
        return StartupError{CriteriaFilePath(state), *err};
    LoadSoundTable(state);
    return std::nullopt;
}

std::optional<StartupError> CheckGradeFolderWritable(const AppState &state)
{
    const QString folder = state.settings.ProgramDataFolder;
    // The grade file of the records step; it is created on the first write.
    QString why;
    const auto error =
        platform::RecordFile::checkWritable(folder + QString::fromUtf16(kGradeFileName), &why);
    // A file busy with another copy of the program is no reason not to start; other errors
    // are met, and reported, where the file is used.
    if (error != platform::RecordFile::Error::Denied)
        return std::nullopt;
    return StartupError{
        folder,
        QStringLiteral("このフォルダに書き込めません（%1）。成績を記録できません。").arg(why)};
}

void StartProgram(AppState &state, const QString &programFolder)
{
    std::optional<StartupError> err = LoadSettings(state, programFolder);
    if (!err)
        err = CheckGradeFolderWritable(state);
    if (err) {
        state.dialogs().message(state.screens ? state.screens->activeWindow() : nullptr,
                                QStringLiteral("起動できません。\r\n%1\r\n%2")
                                    .arg(platform::localPath(err->file), err->message),
                                state.profile.ProgramTitle.isEmpty() ? QStringLiteral("Tavoro")
                                                                     : state.profile.ProgramTitle);
        if (state.screens)
            state.screens->closeAll();
        state.programExit().exit(1);
        return;
    }
    if (state.screens)
        state.screens->showNameSelection();
}

} // namespace tavoro::core
