// The commands of tavoro-data, on the records library.
#include "DataTool.h"

#include "DefaultData.h"
#include "core/AppState.h"
#include "core/Criteria.h"
#include "core/FieldRanges.h"
#include "core/Profile.h"
#include "core/Settings.h"
#include "core/SoundCues.h"
#include "menus/Graph.h"
#include "menus/NameList.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"
#include "platform/RecordFile.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"
#include "platform/WaveFile.h"
#include "records/FieldLines.h"
#include "records/GradeFile.h"
#include "records/GradeWriter.h"
#include "records/RosterFile.h"
#include "records/Statistics.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>

#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavoro::datatool {
namespace {

constexpr int kCriteriaFields = 12;

// Today as --today gives it; the rest of the clock is the system's.
class ToolClock final : public platform::Clock {
public:
    explicit ToolClock(const QDate &today) : m_today(today) {}
    float secondsSinceMidnight() override { return m_system.secondsSinceMidnight(); }
    QDate today() override { return m_today; }
    std::uint32_t tickMs() override { return m_system.tickMs(); }
    void idle() override { m_system.idle(); }

private:
    QDate m_today;
    platform::SystemClock m_system;
};

// Messages go to standard error; nothing waits for an answer.
class ToolDialogs final : public platform::Dialogs {
public:
    explicit ToolDialogs(QByteArray &err) : m_err(err) {}
    void message(QWidget *, const QString &text, const QString &) override { say(text); }
    bool yesNo(QWidget *, const QString &text, const QString &) override
    {
        say(text);
        return false;
    }
    bool okCancel(QWidget *, const QString &text, const QString &) override
    {
        say(text);
        return false;
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return QString();
    }

private:
    void say(const QString &text) { m_err += text.toUtf8() + '\n'; }
    QByteArray &m_err;
};

class ToolExit final : public platform::ProgramExit {
public:
    void exit(int) override { m_requested = true; }
    bool exitRequested() const override { return m_requested; }

private:
    bool m_requested = false;
};

QString displayPath(const QString &path)
{
    return QDir::cleanPath(platform::localPath(path));
}

QString csvLine(const QStringList &fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &f : fields)
        quoted << CsvField(f);
    return quoted.join(u',') + u'\n';
}

// The grade file read whole, without creating it and without waiting: the tool reports
// what it finds.
struct GradeImage {
    QByteArray bytes;
    QString error; // empty when read
};

GradeImage readGradeFile(const core::AppState &state)
{
    GradeImage image;
    const QString path = records::GradeFilePath(state.settings);
    platform::RecordFile file;
    if (!file.openForReading(path)) {
        // A grade file that does not exist yet is one without records; the program creates
        // it at the first run. A missing folder is another matter.
        if (file.error() == platform::RecordFile::Error::NotFound &&
            QFileInfo(platform::localPath(state.settings.ProgramDataFolder)).isDir())
            return image;
        image.error = file.error() == platform::RecordFile::Error::NotFound
                          ? QStringLiteral("ファイルがありません（%1）").arg(file.errorText())
                          : QStringLiteral("読めません（%1）").arg(file.errorText());
        return image;
    }
    const std::int64_t length = file.length();
    if (length < 0) {
        image.error = QStringLiteral("読めません（%1）").arg(file.errorText());
        return image;
    }
    image.bytes.resize(qsizetype(length));
    const std::int64_t got = length == 0 ? 0 : file.readAt(0, image.bytes.data(), length);
    if (got < 0) {
        image.error = QStringLiteral("読めません（%1）").arg(file.errorText());
        return image;
    }
    image.bytes.truncate(qsizetype(got));
    return image;
}

QString dateText(double value)
{
    const QDate d = records::DateFromValue(value);
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : platform::numberText(value);
}

QString timeText(double value)
{
    if (!std::isfinite(value))
        return platform::numberText(value);
    const double fraction = value - std::floor(value);
    const long long s = std::llround(fraction * 86400.0) % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

struct GraphOptions {
    int pupil = 0;
    std::vector<int> levels{1, 2, 3};
    QString pdf;
};

class Tool {
public:
    Tool(Result &result, const QDate &today)
        : m_result(result), m_clock(today), m_dialogs(result.err),
          m_state(std::make_unique<core::AppState>(
              core::Services{&m_clock, nullptr, nullptr, &m_dialogs, &m_exit, nullptr}))
    {
    }

    int run(const QString &command, const QString &appFolder, const GraphOptions &graphOptions)
    {
        if (command == QLatin1String("check"))
            return check(appFolder);
        if (auto err = core::LoadFolderSettings(*m_state, appFolder))
            return fail(err->file, err->message);
        if (command == QLatin1String("export"))
            return exportRecords();
        core::SetProfile(*m_state);
        // The points need the criteria; the best times do not.
        if (command == QLatin1String("stats") || command == QLatin1String("graph")) {
            if (auto err = core::LoadCriteria(*m_state))
                return fail(core::CriteriaFilePath(*m_state), *err);
        }
        const GradeImage image = readGradeFile(*m_state);
        if (!image.error.isEmpty())
            return fail(records::GradeFilePath(m_state->settings), image.error);
        computeStatistics(image);
        if (command == QLatin1String("graph"))
            return graph(graphOptions);
        return command == QLatin1String("stats") ? stats() : best();
    }

private:
    int fail(const QString &file, const QString &message)
    {
        m_result.err += (displayPath(file) + QStringLiteral(": ") + message + u'\n').toUtf8();
        return 2;
    }

    void print(const QString &text) { m_result.out += text.toUtf8(); }

    // The sheets "印刷" prints for one pupil, as a PDF file written whole or not at all.
    int graph(const GraphOptions &o)
    {
        core::AppState &s = *m_state;
        core::SetLevelTable(s);
        const QString rosterPath = records::RosterFile::path(s.settings);
        records::RosterFile roster;
        if (!roster.load(rosterPath))
            return fail(rosterPath,
                        roster.error() == platform::FileError::NotFound
                            ? QStringLiteral("ファイルがありません")
                            : QStringLiteral("読めません（%1）").arg(roster.errorText()));
        s.roster.SchoolYear =
            menus::SchoolYearOf(s.services.clock->today(), s.settings.SchoolYearStartMonth);
        menus::TakeRosterLines(s, roster.lines(), s.settings.RosterSwitch.equals(1));
        const bool known =
            std::any_of(roster.lines().begin(), roster.lines().end(),
                        [&](const records::RosterLine &l) { return l.Number == o.pupil; });
        if (!known)
            return fail(rosterPath, QStringLiteral("生徒番号 %1 は名簿にありません").arg(o.pupil));
        for (int level : o.levels)
            if (level > s.profile.LevelCount) {
                m_result.err +=
                    QStringLiteral("tavoro-data: レベル %1 はありません（レベルは 1～%2）\n")
                        .arg(level)
                        .arg(s.profile.LevelCount)
                        .toUtf8();
                return 2;
            }
        s.pupil.CurrentStudent = std::int16_t(o.pupil);
        const auto pages = menus::GraphPages(s, o.pupil, o.levels, 1, QStringLiteral("全学年"));

        QSaveFile file(o.pdf);
        if (!file.open(QIODevice::WriteOnly))
            return fail(o.pdf, QStringLiteral("書けません（%1）").arg(file.errorString()));
        bool drawn = false;
        {
            QPdfWriter pdf(&file);
            pdf.setResolution(600);
            pdf.setCreator(QStringLiteral("tavoro-data"));
            pdf.setTitle(s.profile.ProgramTitle + u' ' +
                         core::TrimSpaces(s.roster.StudentNames[std::size_t(o.pupil)]));
            drawn = menus::DrawGraphDocument(pdf, pages);
        }
        if (!drawn) {
            file.cancelWriting();
            return fail(o.pdf, QStringLiteral("ページを描けません"));
        }
        if (!file.commit())
            return fail(o.pdf, QStringLiteral("書けません（%1）").arg(file.errorString()));
        return 0;
    }

    void computeStatistics(const GradeImage &image)
    {
        // The same load and counts as the program, on the window of newest records.
        const records::RecordWindow window =
            records::NewestWindow(image.bytes.size() / records::kGradeRecordSize);
        records::ComputeStatisticsFromImage(
            *m_state, image.bytes.constData() + window.first * records::kGradeRecordSize,
            window.count);
    }

    int exportRecords()
    {
        const GradeImage image = readGradeFile(*m_state);
        if (!image.error.isEmpty())
            return fail(records::GradeFilePath(m_state->settings), image.error);
        print(
            csvLine({QStringLiteral("record"), QStringLiteral("date"), QStringLiteral("time"),
                     QStringLiteral("pupil"), QStringLiteral("level"), QStringLiteral("seconds"),
                     QStringLiteral("school"), QStringLiteral("note"), QStringLiteral("points")}));
        const qsizetype n = image.bytes.size() / records::kGradeRecordSize;
        QString text;
        for (qsizetype i = 0; i < n; ++i) {
            const records::GradeRecord r =
                records::DecodeGradeRecord(image.bytes.constData() + i * records::kGradeRecordSize);
            text += csvLine({QString::number(i + 1), dateText(r.RecDate), timeText(r.RecClock),
                             QString::number(r.RecStudent), QString::number(r.RecLevel),
                             QString::number(r.RecSeconds), records::GradeFieldTrimmed(r.RecSchool),
                             records::GradeFieldTrimmed(r.RecNote),
                             records::GradeFieldTrimmed(r.RecPointsText)});
        }
        print(text);
        return 0;
    }

    int stats()
    {
        print(
            QStringLiteral("pupil,level,total_runs,total_points,period_runs,period_points,"
                           "overuse_runs,overuse_earned,runs_today,points_today,personal_best\n"));
        const core::Statistics &s = m_state->stats;
        QString text;
        for (int k = 1; k <= core::kMaxStudent; ++k) {
            for (int l = 1; l <= core::kMaxLevel; ++l) {
                const bool any = s.TotalRuns(k, l) != 0 || s.TotalPoints(k, l) != 0 ||
                                 s.PeriodRuns(k, l) != 0 || s.PeriodPoints(k, l) != 0 ||
                                 s.OveruseRuns(k, l) != 0 || s.OveruseEarned(k, l) != 0 ||
                                 s.RunsToday(k, l) != 0 || s.PointsToday(k, l) != 0 ||
                                 s.PersonalBest(k, l) != core::kNoTime;
                if (!any)
                    continue;
                text += csvLine(
                    {QString::number(k), QString::number(l), QString::number(s.TotalRuns(k, l)),
                     QString::number(s.TotalPoints(k, l)), QString::number(s.PeriodRuns(k, l)),
                     QString::number(s.PeriodPoints(k, l)), QString::number(s.OveruseRuns(k, l)),
                     QString::number(s.OveruseEarned(k, l)),
                     platform::numberText(double(s.RunsToday(k, l))),
                     QString::number(s.PointsToday(k, l)), QString::number(s.PersonalBest(k, l))});
            }
        }
        print(text);
        return 0;
    }

    int best()
    {
        print(QStringLiteral("level,school_best\n"));
        for (int l = 1; l <= core::kMaxLevel; ++l)
            print(csvLine({QString::number(l), QString::number(m_state->stats.SchoolBest[l])}));
        return 0;
    }

    // ---- check ---------------------------------------------------------------------------

    void problem(const QString &file, long long where, const QString &message)
    {
        print(displayPath(file) + u':' + QString::number(where) + QStringLiteral(": ") + message +
              u'\n');
        m_status = std::max(m_status, 1);
    }

    void unreadable(const QString &file, const QString &message)
    {
        problem(file, 0, message);
        m_status = 2;
    }

    // Reads a text file, reporting it when it cannot be read.
    bool readText(const QString &path, QString *text)
    {
        const platform::TextFileResult file = platform::readTextFile(path);
        if (!file.ok()) {
            unreadable(path, file.error == platform::FileError::NotFound
                                 ? QStringLiteral("ファイルがありません")
                                 : QStringLiteral("読めません（%1）").arg(file.errorText));
            return false;
        }
        *text = file.text;
        return true;
    }

    int check(const QString &appFolder)
    {
        core::AppState &state = *m_state;
        std::optional<core::RangeFault> commonDataFault;
        if (auto err = core::LoadFolderSettings(state, appFolder, &commonDataFault)) {
            // Without the folders no other file can be found.
            const bool readable = platform::readTextFile(err->file).ok();
            problem(err->file, 0, err->message);
            return readable ? 1 : 2;
        }
        core::SetProfile(state);
        core::SetLevelTable(state);
        checkCommonData(commonDataFault);
        checkRoster();
        checkCriteria();
        checkSoundTable();
        checkGradeFile();
        checkGradeRewrites();
        return m_status;
    }

    void checkCommonData(const std::optional<core::RangeFault> &fault)
    {
        if (fault) {
            problem(core::CommonDataFilePath(m_state->settings), fault->line,
                    fault->fieldMessage() + QStringLiteral("（このままでは起動できません）"));
            if (fault->field == 1)
                return;
        }
        const core::Variant &month = m_state->settings.SchoolYearStartMonth;
        const double m = month.number();
        if (!month.isNumber() || m != std::floor(m) || m < 1 || m > 12) {
            problem(
                m_state->settings.DataFolder + QStringLiteral("共通データ.txt"), 0,
                QStringLiteral("1 番目の項目（年度の始まりの月）「%1」が 1～12 の数ではありません")
                    .arg(month.text()));
        }
    }

    void checkRoster()
    {
        const QString path = records::RosterFile::path(m_state->settings);
        records::RosterFile roster;
        if (!roster.load(path)) {
            unreadable(path, roster.error() == platform::FileError::NotFound
                                 ? QStringLiteral("ファイルがありません")
                                 : QStringLiteral("読めません（%1）").arg(roster.errorText()));
            return;
        }
        for (const records::RosterProblem &p : roster.problems())
            problem(path, p.line, p.message);
    }

    void checkCriteria()
    {
        const QString path = core::CriteriaFilePath(*m_state);
        QString text;
        if (!readText(path, &text))
            return;
        static const char16_t *const names[] = {u"目標Time", u"最低Time", u"ｸﾘｱﾎﾟｲﾝﾄ", u"ｸﾘｱ回数",
                                                u"ﾎﾟｲﾝﾄ倍率"};
        const std::vector<records::FieldLine> lines = records::ReadFieldLines(text);
        const int levelCount = m_state->profile.LevelCount;
        int level = 0;
        for (std::size_t i = 1; i < lines.size(); ++i) { // line 1 is the heading
            const records::FieldLine &l = lines[i];
            ++level;
            if (level > core::kMaxLevel) {
                problem(path, l.line,
                        QStringLiteral("レベル %1 の行です。レベル %2 より後の行は読まれません")
                            .arg(level)
                            .arg(core::kMaxLevel));
                break;
            }
            if (l.fields.size() != kCriteriaFields) {
                problem(
                    path, l.line,
                    QStringLiteral(
                        "項目が %1 個あります（%2 個必要です）。これより後の項目がずれて読まれます")
                        .arg(l.fields.size())
                        .arg(kCriteriaFields));
            }
            for (int f = 0; f < 5 && f < l.fields.size(); ++f) {
                bool ok = false;
                const double v = platform::parseNumber(l.fields.at(f), &ok);
                const QString name = QString::fromUtf16(names[f]);
                if (!ok && !platform::writtenAsNumber(l.fields.at(f))) {
                    problem(path, l.line,
                            QStringLiteral("%1「%2」が数ではありません（0 として読まれます）")
                                .arg(name, l.fields.at(f)));
                } else if (f < 2 && v <= 0 && level <= levelCount) {
                    problem(
                        path, l.line,
                        f == 0
                            ? QStringLiteral("目標Time が 0 以下です（ポイントが付きません）")
                            : QStringLiteral("最低Time が 0 以下です（すぐに時間切れになります）"));
                }
            }
        }
        for (const core::RangeFault &f : core::CriteriaRangeFaults(text))
            problem(path, f.line,
                    f.fieldMessage() + QStringLiteral("（このままでは起動できません）"));
        if (level < levelCount) {
            problem(path, 0,
                    QStringLiteral("レベルの行が %1 行しかありません（%2 行必要です）")
                        .arg(level)
                        .arg(levelCount));
        }
    }

    void checkSoundTable()
    {
        core::AppState &state = *m_state;
        const QString path = core::SoundTableFilePath(state);
        QString text;
        if (!readText(path, &text))
            return;
        core::ParseSoundTable(state, text);
        const std::vector<records::FieldLine> lines = records::ReadFieldLines(text);
        const auto lineOf = [&](const QString &name) -> const records::FieldLine * {
            for (const records::FieldLine &l : lines) {
                if (!l.fields.isEmpty() && l.fields.first() == name)
                    return &l;
            }
            return nullptr;
        };
        // The cues the program plays from the table; the others are never played.
        const int played[] = {core::CueCorrect2, core::CueWrong2, core::CuePersonal2,
                              core::CueFail1};
        for (int cue = 1; cue <= core::SoundState::kCues; ++cue) {
            const auto &slots = state.sound.SoundTable[std::size_t(cue)];
            const QString name = core::CueName(cue);
            const records::FieldLine *cueLine = lineOf(name);
            const int line = cueLine ? cueLine->line : 0;
            if (cueLine && cueLine->fields.last() != QLatin1String("*")) {
                // The table is read field by field: the next line's fields become file names.
                problem(path, line,
                        QStringLiteral("「%1」の音ファイルの並びが * "
                                       "で終わっていません（次の行も音ファイルとして読まれます）")
                            .arg(name));
            }
            const bool isPlayed =
                std::find(std::begin(played), std::end(played), cue) != std::end(played);
            if (slots[1].isEmpty()) {
                if (isPlayed)
                    problem(path, line, QStringLiteral("「%1」に音ファイルがありません").arg(name));
                continue;
            }
            for (int j = 1; j < core::SoundState::kSlots - 1; ++j) {
                if (!slots[std::size_t(j)].isEmpty())
                    checkWave(path, line, name, slots[std::size_t(j)] + QStringLiteral(".wav"));
            }
        }
        for (const QString &file : {QStringLiteral("最高1.wav"), QStringLiteral("合格.wav")})
            checkWave(QString(), 0, QString(), file);
    }

    // A wave file of the sound folder; named by the table line at `tablePath`, or by its own
    // path when `tablePath` is empty.
    void checkWave(const QString &tablePath, int line, const QString &cue, const QString &file)
    {
        const QString wavePath = m_state->settings.SoundFolder + file;
        const auto report = [&](const QString &what) {
            if (tablePath.isEmpty())
                problem(wavePath, 0, what);
            else
                problem(tablePath, line,
                        QStringLiteral("「%1」の音ファイル %2 の%3").arg(cue, file, what));
        };
        QFile f(platform::localPath(wavePath));
        if (!f.open(QIODevice::ReadOnly)) {
            report(f.exists() ? QStringLiteral("ファイルを読めません（%1）").arg(f.errorString())
                              : QStringLiteral("ファイルがありません"));
            return;
        }
        platform::WaveData data;
        QString reason;
        if (!platform::parseWave(f.readAll(), &data, &reason))
            report(QStringLiteral("ファイルを再生できません（%1）").arg(reason));
    }

    void checkGradeFile()
    {
        const QString path = records::GradeFilePath(m_state->settings);
        const GradeImage image = readGradeFile(*m_state);
        if (!image.error.isEmpty()) {
            unreadable(path, image.error);
            return;
        }
        const qsizetype n = image.bytes.size() / records::kGradeRecordSize;
        for (qsizetype i = 0; i < n; ++i) {
            const records::GradeRecord r =
                records::DecodeGradeRecord(image.bytes.constData() + i * records::kGradeRecordSize);
            if (r.RecStudent < 0 || r.RecStudent > core::kMaxStudent) {
                problem(path, i + 1,
                        QStringLiteral(
                            "生徒番号 %1 が 0～%2 の範囲にありません（この記録は読まれません）")
                            .arg(r.RecStudent)
                            .arg(core::kMaxStudent));
            }
            if (r.RecLevel < 0 || r.RecLevel > core::kMaxLevel) {
                problem(path, i + 1,
                        QStringLiteral(
                            "レベル %1 が 0～%2 の範囲にありません（この記録は読まれません）")
                            .arg(r.RecLevel)
                            .arg(core::kMaxLevel));
            }
            if (r.RecSeconds < 0 || r.RecSeconds > core::kMaxRecordSeconds) {
                problem(path, i + 1,
                        QStringLiteral(
                            "秒数 %1 が 0～%2 の範囲にありません（この記録は読まれません）")
                            .arg(r.RecSeconds)
                            .arg(core::kMaxRecordSeconds));
            }
            const core::NumberRange dates{core::kMinRecordDate, core::kMaxRecordDate};
            if (!dates.contains(r.RecDate) || !dates.contains(r.RecClock)) {
                problem(path, i + 1,
                        QStringLiteral("日付か時刻が 100年1月1日～9999年12月31日 "
                                       "の範囲にありません（この記録は読まれません）"));
            }
        }
        const qsizetype rest = image.bytes.size() % records::kGradeRecordSize;
        if (rest != 0) {
            problem(path, n + 1,
                    QStringLiteral("最後の記録が途中で切れています（%1 "
                                   "バイトしかありません。記録は %2 バイトです）")
                        .arg(rest)
                        .arg(records::kGradeRecordSize));
        }
    }

    // A change of the record browser that did not end, and backups grown old.
    void checkGradeRewrites()
    {
        const core::Settings &settings = m_state->settings;
        if (records::RewriteInterrupted(settings)) {
            problem(records::GradeTempPath(settings), 0,
                    QStringLiteral("成績データの書き換えが途中で終わっています（記録の変更画面を"
                                   "開くと、書き換える前のデータに戻せます）"));
        }
        // The record browser backs the grade file up before its first change of a session;
        // once it has, a school that changes records should have a recent copy.
        if (!QFileInfo(platform::localPath(records::GradeBackupFolder(settings))).isDir())
            return;
        const std::optional<QDate> newest = records::NewestBackupDate(settings);
        const QDate today = m_state->clock().today();
        if (!newest || newest->daysTo(today) > 30) {
            problem(records::GradeBackupFolder(settings), 0,
                    newest ? QStringLiteral("30 日以内のバックアップがありません（最新は %1）")
                                 .arg(newest->toString(QStringLiteral("yyyy/MM/dd")))
                           : QStringLiteral("バックアップがありません"));
        }
    }

    Result &m_result;
    ToolClock m_clock;
    ToolDialogs m_dialogs;
    ToolExit m_exit;
    std::unique_ptr<core::AppState> m_state;
    int m_status = 0;
};

// ---- init ------------------------------------------------------------------------------

struct InitOptions {
    QString folder;
    QString schoolCode;
    QString schoolName;
    QString password;
    int startMonth = 4; // the Japanese school year starts in April
    QString group;      // the group every pupil account belongs to; empty: left alone
};

// Why a text cannot stand in a settings file, or an empty text when it can: the files are
// code page 932, and a comma, a double quote or a line break would split or end the field.
QString unfitText(const QString &what, const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("%1が空です").arg(what);
    for (const QChar c : text) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
            return QStringLiteral("%1にコンマ・二重引用符・改行は使えません").arg(what);
    }
    bool lossless = true;
    platform::toCp932(text, &lossless);
    if (!lossless)
        return QStringLiteral("%1「%2」にはシフトJIS（コードページ932）で書けない文字があります")
            .arg(what, text);
    return {};
}

// Reads the arguments after "init"; returns the reason when they are wrong.
QString parseInit(const QStringList &args, InitOptions *o)
{
    bool haveCode = false, haveName = false, havePassword = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        QString name = a, value;
        const qsizetype eq = a.indexOf(u'=');
        const bool isOption = a.startsWith(QLatin1String("--"));
        if (isOption && eq > 0) {
            name = a.left(eq);
            value = a.mid(eq + 1);
        }
        const bool known =
            name == QLatin1String("--school-code") || name == QLatin1String("--school-name") ||
            name == QLatin1String("--password") || name == QLatin1String("--start-month") ||
            name == QLatin1String("--group");
        if (!isOption) {
            if (!o->folder.isEmpty())
                return QStringLiteral("余分な引数「%1」").arg(a);
            o->folder = a;
            continue;
        }
        if (!known)
            return QStringLiteral("知らないオプション「%1」").arg(a);
        if (eq <= 0) {
            if (i + 1 >= args.size())
                return QStringLiteral("%1 の値がありません").arg(name);
            value = args.at(++i);
        }
        if (name == QLatin1String("--school-code")) {
            o->schoolCode = value;
            haveCode = true;
        } else if (name == QLatin1String("--school-name")) {
            o->schoolName = value;
            haveName = true;
        } else if (name == QLatin1String("--password")) {
            o->password = value;
            havePassword = true;
        } else if (name == QLatin1String("--group")) {
            o->group = value;
        } else {
            bool ok = false;
            o->startMonth = value.toInt(&ok);
            if (!ok || o->startMonth < 1 || o->startMonth > 12)
                return QStringLiteral("--start-month「%1」は 1～12 の数にしてください").arg(value);
        }
    }
    if (o->folder.isEmpty())
        return QStringLiteral("init にはデータフォルダ DIR が必要です");
    if (!haveCode || !haveName || !havePassword)
        return QStringLiteral("init には --school-code, --school-name, --password が必要です");
    // The program takes five leading characters as the code only when they read as a
    // number other than 0.
    static const QRegularExpression fiveDigits(QStringLiteral("^[0-9]{5}$"));
    if (!fiveDigits.match(o->schoolCode).hasMatch() || o->schoolCode == QLatin1String("00000"))
        return QStringLiteral("学校コード「%1」は 00000 以外の 5 けたの数字にしてください")
            .arg(o->schoolCode);
    QString why = unfitText(QStringLiteral("学校名"), o->schoolName);
    if (why.isEmpty())
        why = unfitText(QStringLiteral("パスワード"), o->password);
    return why;
}

// Gives the data folder, and every folder and file in it, to `group`, writable by the group,
// with the setgid bit on the folders so that what the program makes in them later belongs
// to the group as well. An empty text when done, else why not.
QString shareFolderWithGroup(const QString &folder, const QString &group)
{
#ifdef _WIN32
    Q_UNUSED(folder);
    Q_UNUSED(group);
    return QStringLiteral(
        "--group は Windows では使えません（フォルダのアクセス許可で設定してください）");
#else
    const struct group *entry = ::getgrnam(group.toLocal8Bit().constData());
    if (!entry)
        return QStringLiteral("グループ「%1」がありません").arg(group);
    const gid_t gid = entry->gr_gid;
    QStringList paths{QDir(folder).absolutePath()};
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    for (const QString &path : paths) {
        const QByteArray name = QFile::encodeName(path);
        struct stat st {};
        if (::lstat(name.constData(), &st) != 0 || S_ISLNK(st.st_mode))
            continue;
        mode_t mode = (st.st_mode & 07777) | S_IRGRP | S_IWGRP;
        if (S_ISDIR(st.st_mode))
            mode |= S_IXGRP | S_ISGID;
        // The group first: a change of owner or group clears the setgid bit.
        if (::chown(name.constData(), uid_t(-1), gid) != 0 || ::chmod(name.constData(), mode) != 0)
            return QStringLiteral("グループ「%1」に渡せません: %2（%3）")
                .arg(group, displayPath(path), QString::fromLocal8Bit(std::strerror(errno)));
    }
    return QString();
#endif
}

// Lays out a new data folder and points the program folder at it. A file that is there
// already is kept as it is.
int init(const InitOptions &o, const QString &appFolder, Result &result)
{
    const auto say = [&](const QString &text) { result.out += (text + u'\n').toUtf8(); };
    const auto fail = [&](const QString &text) {
        result.err += (QStringLiteral("tavoro-data: ") + text + u'\n').toUtf8();
        return 2;
    };
    const QString data = QDir(o.folder).absolutePath() + u'/';
    // The path data file names the folder in a field of its own.
    const QString why = unfitText(QStringLiteral("データフォルダの名前"), data);
    if (!why.isEmpty()) {
        result.err += (QStringLiteral("tavoro-data: ") + why + u'\n' + Usage()).toUtf8();
        return 2;
    }
    core::Settings folders;
    core::DeriveFolders(folders, appFolder, data);
    const QString pathFile = QDir::cleanPath(
        platform::localPath(platform::withTrailingSeparator(appFolder) + QStringLiteral("../")) +
        QStringLiteral("/パスデータ.txt"));

    struct File {
        QString path;
        QByteArray bytes;
    };
    std::vector<File> files = {
        {data + QStringLiteral("共通データ.txt"),
         defaults::TextFileBytes(
             defaults::CommonDataLines(o.startMonth, o.schoolCode, o.schoolName, o.password))},
        {data + QStringLiteral("新名簿.txt"), QByteArray()},
        {platform::localPath(folders.ProgramDataFolder) + QStringLiteral("タイム回数データ.txt"),
         defaults::TextFileBytes(defaults::CriteriaLines())},
        {platform::localPath(folders.SoundFolder) + QStringLiteral("新音ファイル.txt"),
         defaults::TextFileBytes(defaults::SoundTableLines())},
    };
    for (const defaults::Sound &s : defaults::Sounds())
        files.push_back(
            {platform::localPath(folders.SoundFolder) + s.name + QStringLiteral(".wav"), s.wave});
    files.push_back({pathFile, defaults::TextFileBytes(defaults::PathDataLines(data))});

    for (const File &f : files) {
        const QFileInfo info(f.path);
        if (info.exists()) {
            say(QStringLiteral("既にあるので残しました: %1").arg(displayPath(f.path)));
            continue;
        }
        // The path data file may be a link to the one kept with the system's configuration
        // (/etc/tavoro); the file is then written where the link points.
        const QString target = info.isSymLink() ? info.symLinkTarget() : f.path;
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            return fail(QStringLiteral("フォルダを作れません: %1")
                            .arg(displayPath(QFileInfo(target).absolutePath())));
        QFile file(target);
        const QIODevice::OpenMode mode =
            info.isSymLink() ? QIODevice::WriteOnly : QIODevice::WriteOnly | QIODevice::NewOnly;
        if (!file.open(mode) || file.write(f.bytes) != f.bytes.size() || !file.flush())
            return fail(QStringLiteral("書けません: %1（%2）")
                            .arg(displayPath(f.path), file.errorString()));
        say(QStringLiteral("作りました: %1").arg(displayPath(f.path)));
    }
    if (!o.group.isEmpty()) {
        const QString why = shareFolderWithGroup(data, o.group);
        if (!why.isEmpty())
            return fail(why);
        say(QStringLiteral("グループ %1 が書けるようにしました: %2").arg(o.group, displayPath(data)));
    }
    return 0;
}

} // namespace

QString Usage()
{
    return QStringLiteral(
        "使い方: tavoro-data [--app-folder DIR] [--today YYYY-MM-DD] COMMAND\n"
        "       tavoro-data [--app-folder DIR] init DATA_DIR --school-code CODE\n"
        "                   --school-name NAME --password TEXT [--start-month M]\n"
        "                   [--group GROUP]\n"
        "\n"
        "COMMAND:\n"
        "  export  成績累積データの全記録 "
        "(record,date,time,pupil,level,seconds,school,note,points)\n"
        "  stats   生徒・レベルごとの集計 (pupil,level,total_runs,total_points,period_runs,\n"
        "          "
        "period_points,overuse_runs,overuse_earned,runs_today,points_today,personal_best)\n"
        "  best    レベルごとの学校最高記録 (level,school_best)\n"
        "  check   データファイルを調べ、問題を 1 行ずつ FILE:WHERE: message の形で出します\n"
        "  init    新しいデータフォルダ DATA_DIR を作り (共通データ・空の名簿・基準・音)、\n"
        "          プログラムのフォルダの隣の パスデータ.txt にそのフォルダを書きます。\n"
        "          既にあるファイルは書き換えません。CODE は 5 けたの学校コード、M は年度の\n"
        "          始まりの月 (既定 4)。GROUP を付けると、データフォルダとその中の\n"
        "          ファイルをそのグループに渡し、グループで書けるようにします\n"
        "          (フォルダには setgid)\n"
        "  graph --pupil N [--levels 1,2,3] --pdf FILE\n"
        "          生徒 N のグラフ (「印刷」と同じページ) を PDF ファイルに書きます\n"
        "\n"
        "  --app-folder DIR    プログラムのフォルダ (既定: tavoro-data のあるフォルダ)\n"
        "  --today YYYY-MM-DD  今日の日付の代わりに使う日付\n"
        "\n"
        "出力は UTF-8 の CSV です。終了コード: 0 問題なし, 1 問題あり (check), "
        "2 ファイルを読めない・引数の誤り\n");
}

QString CsvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

Result Run(const QStringList &args, const QString &toolFolder, const QDate &today)
{
    Result result;
    QString appFolder = toolFolder;
    QDate day = today;
    QString command;
    QString bad;
    GraphOptions graph;
    bool pupilGiven = false;
    for (qsizetype i = 0; i < args.size() && bad.isEmpty(); ++i) {
        const QString &a = args.at(i);
        QString value;
        const auto option = [&](const QString &name) {
            if (a == name) {
                if (i + 1 >= args.size()) {
                    bad = QStringLiteral("%1 の値がありません").arg(name);
                    return false;
                }
                value = args.at(++i);
                return true;
            }
            if (a.startsWith(name + u'=')) {
                value = a.mid(name.size() + 1);
                return true;
            }
            return false;
        };
        if (option(QStringLiteral("--app-folder"))) {
            if (value.isEmpty())
                bad = QStringLiteral("--app-folder の値が空です");
            appFolder = value;
        } else if (option(QStringLiteral("--today"))) {
            day = QDate::fromString(value, QStringLiteral("yyyy-MM-dd"));
            if (!day.isValid() || value.size() != 10)
                bad = QStringLiteral("--today の日付「%1」が読めません").arg(value);
        } else if (option(QStringLiteral("--pupil"))) {
            bool ok = false;
            graph.pupil = value.toInt(&ok);
            pupilGiven = true;
            if (!ok || graph.pupil < 1 || graph.pupil > core::kMaxStudent)
                bad = QStringLiteral("--pupil の生徒番号「%1」は 1～%2 の数ではありません")
                          .arg(value)
                          .arg(core::kMaxStudent);
        } else if (option(QStringLiteral("--levels"))) {
            graph.levels.clear();
            for (const QString &part : value.split(u',')) {
                bool ok = false;
                const int level = part.trimmed().toInt(&ok);
                if (!ok || level < 1 || level > core::kMaxLevel) {
                    bad = QStringLiteral("--levels のレベル「%1」が読めません").arg(part);
                    break;
                }
                graph.levels.push_back(level);
            }
        } else if (option(QStringLiteral("--pdf"))) {
            graph.pdf = value;
            if (value.isEmpty())
                bad = QStringLiteral("--pdf の値が空です");
        } else if (!bad.isEmpty()) {
            break;
        } else if (a.startsWith(u'-')) {
            bad = QStringLiteral("知らないオプション「%1」").arg(a);
        } else if (!command.isEmpty()) {
            bad = QStringLiteral("余分な引数「%1」").arg(a);
        } else {
            command = a;
            if (command == QLatin1String("init")) {
                // init takes arguments of its own.
                InitOptions options;
                bad = parseInit(args.mid(i + 1), &options);
                if (bad.isEmpty()) {
                    result.status = init(options, appFolder, result);
                    return result;
                }
            }
        }
    }
    if (bad.isEmpty() && command.isEmpty())
        bad = QStringLiteral("COMMAND がありません");
    if (bad.isEmpty() && command != QLatin1String("export") && command != QLatin1String("stats") &&
        command != QLatin1String("best") && command != QLatin1String("check") &&
        command != QLatin1String("graph"))
        bad = QStringLiteral("知らない COMMAND「%1」").arg(command);
    if (bad.isEmpty() && command == QLatin1String("graph") && (!pupilGiven || graph.pdf.isEmpty()))
        bad = QStringLiteral("graph には --pupil と --pdf が要ります");
    if (bad.isEmpty() && command != QLatin1String("graph") && (pupilGiven || !graph.pdf.isEmpty()))
        bad = QStringLiteral("--pupil と --pdf は graph だけのオプションです");
    if (!bad.isEmpty()) {
        result.err = (QStringLiteral("tavoro-data: ") + bad + u'\n' + Usage()).toUtf8();
        result.status = 2;
        return result;
    }
    Tool tool(result, day);
    result.status = tool.run(command, appFolder, graph);
    return result;
}

} // namespace tavoro::datatool
