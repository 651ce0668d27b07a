// The commands of tavoro-data, on the records library.
#include "DataTool.h"

#include "ClassList.h"
#include "ClassReport.h"
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
#include "platform/DiskFiles.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"
#include "platform/RecordFile.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"
#include "platform/WaveFile.h"
#include "records/FieldLines.h"
#include "records/GradeFile.h"
#include "records/GradeLoad.h"
#include "records/GradeWriter.h"
#include "records/Marks.h"
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
#include <map>
#include <memory>
#include <set>

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

// One CSV line ended by `end`: LF, or CR LF for Excel.
QString csvLine(const QStringList &fields, const QString &end)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &f : fields)
        quoted << CsvField(f);
    return quoted.join(u',') + end;
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

struct Options {
    // graph
    int pupil = 0;
    std::vector<int> levels{1, 2, 3};
    QString pdf; // graph and report
    // roster
    QString rosterCommand; // import or export
    QString file;          // the class list to import
    bool replace = false;
    // report
    bool csv = false;
    std::optional<QDate> from, to;
    QString gradeFilter; // a filter of the name selection's list; empty: every grade
    // every CSV command: UTF-8 with a byte-order mark and CR LF, as Excel reads it
    bool excel = false;
};

class Tool {
public:
    Tool(Result &result, const QDate &today)
        : m_result(result), m_clock(today), m_dialogs(result.err),
          m_state(std::make_unique<core::AppState>(
              core::Services{&m_clock, nullptr, nullptr, &m_dialogs, &m_exit, nullptr}))
    {
    }

    int run(const QString &command, const QString &appFolder, const Options &options)
    {
        m_excel = options.excel;
        if (command == QLatin1String("check"))
            return check(appFolder);
        if (auto err = core::LoadFolderSettings(*m_state, appFolder))
            return fail(err->file, err->message);
        if (command == QLatin1String("export"))
            return exportRecords();
        if (command == QLatin1String("roster"))
            return options.rosterCommand == QLatin1String("import") ? importRoster(options)
                                                                    : exportRoster();
        core::SetProfile(*m_state);
        if (command == QLatin1String("report"))
            return report(options);
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
            return graph(options);
        return command == QLatin1String("stats") ? stats() : best();
    }

private:
    int fail(const QString &file, const QString &message)
    {
        m_result.err += (displayPath(file) + QStringLiteral(": ") + message + u'\n').toUtf8();
        return 2;
    }

    void print(const QString &text) { m_result.out += text.toUtf8(); }

    // The line end of CSV output.
    QString csvEnd() const { return m_excel ? QStringLiteral("\r\n") : QStringLiteral("\n"); }
    QString csv(const QStringList &fields) const { return csvLine(fields, csvEnd()); }
    // CSV output for Excel begins with the byte-order mark of UTF-8.
    void startCsv()
    {
        if (m_excel)
            m_result.out += "\xEF\xBB\xBF";
    }

    // The sheets "印刷" prints for one pupil, as a PDF file written whole or not at all.
    int graph(const Options &o)
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
        startCsv();
        print(csv({QStringLiteral("record"), QStringLiteral("date"), QStringLiteral("time"),
                   QStringLiteral("pupil"), QStringLiteral("level"), QStringLiteral("seconds"),
                   QStringLiteral("school"), QStringLiteral("note"), QStringLiteral("points")}));
        const qsizetype n = image.bytes.size() / records::kGradeRecordSize;
        QString text;
        for (qsizetype i = 0; i < n; ++i) {
            const records::GradeRecord r =
                records::DecodeGradeRecord(image.bytes.constData() + i * records::kGradeRecordSize);
            text += csv({QString::number(i + 1), dateText(r.RecDate), timeText(r.RecClock),
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
        startCsv();
        print(csv(QStringLiteral("pupil,level,total_runs,total_points,period_runs,period_points,"
                                 "overuse_runs,overuse_earned,runs_today,points_today,"
                                 "personal_best")
                      .split(u',')));
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
                text += csv(
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
        startCsv();
        print(csv({QStringLiteral("level"), QStringLiteral("school_best")}));
        for (int l = 1; l <= core::kMaxLevel; ++l)
            print(csv({QString::number(l), QString::number(m_state->stats.SchoolBest[l])}));
        return 0;
    }

    // ---- roster --------------------------------------------------------------------------

    // The school year grades are counted in, or nothing after saying why there is none.
    std::optional<int> schoolYear()
    {
        const core::Variant &month = m_state->settings.SchoolYearStartMonth;
        const double m = month.number();
        if (!month.isNumber() || m != std::floor(m) || m < 1 || m > 12) {
            fail(core::CommonDataFilePath(m_state->settings),
                 QStringLiteral("1 番目の項目（年度の始まりの月）「%1」が 1～12 の数ではありません"
                                "（学年を決められません）")
                     .arg(month.text()));
            return std::nullopt;
        }
        return menus::SchoolYearOf(m_clock.today(), month);
    }

    // The roster as it stands; nothing after saying why it cannot be read.
    std::optional<records::RosterFile> loadRoster()
    {
        const QString path = records::RosterFile::path(m_state->settings);
        records::RosterFile roster;
        if (!roster.load(path)) {
            fail(path, roster.error() == platform::FileError::NotFound
                           ? QStringLiteral("ファイルがありません")
                           : QStringLiteral("読めません（%1）").arg(roster.errorText()));
            return std::nullopt;
        }
        return roster;
    }

    // Beside the roster, named after today: 新名簿.txt.2026-12-09.bak, then -2, -3, ... for
    // a second import of the day.
    QString backupPath(const QString &rosterPath)
    {
        const QString day = m_clock.today().toString(QStringLiteral("yyyy-MM-dd"));
        QString path = rosterPath + QStringLiteral(".%1.bak").arg(day);
        for (int n = 2; QFileInfo::exists(platform::localPath(path)); ++n)
            path = rosterPath + QStringLiteral(".%1-%2.bak").arg(day).arg(n);
        return path;
    }

    // Takes a class list into the roster: all of it, or nothing when any line is wrong.
    int importRoster(const Options &o)
    {
        const std::optional<int> year = schoolYear();
        if (!year)
            return 2;
        const platform::FileBytesResult file = platform::readFileBytes(o.file);
        if (!file.ok())
            return fail(o.file, file.error == platform::FileError::NotFound
                                    ? QStringLiteral("ファイルがありません")
                                    : QStringLiteral("読めません（%1）").arg(file.errorText));
        const DecodedClassList decoded = DecodeClassList(file.bytes);
        ClassList list;
        if (decoded.error.isEmpty())
            list = ReadClassList(decoded.text, *year);
        else
            list.problems.push_back({0, decoded.error});
        if (list.problems.empty() && list.pupils.empty())
            list.problems.push_back({0, QStringLiteral("生徒が一人も書かれていません")});
        if (!list.problems.empty()) {
            std::vector<int> lines;
            for (const ClassListProblem &p : list.problems) {
                m_result.err += (displayPath(o.file) + u':' + QString::number(p.line) +
                                 QStringLiteral(": ") + p.message + u'\n')
                                    .toUtf8();
                if (lines.empty() || lines.back() != p.line)
                    lines.push_back(p.line);
            }
            m_result.err +=
                QStringLiteral("tavoro-data: 正しくない行が %1 行あるので、名簿は書き換えません"
                               "でした\n")
                    .arg(lines.size())
                    .toUtf8();
            return 2;
        }

        const QString rosterPath = records::RosterFile::path(m_state->settings);
        const platform::FileBytesResult old = platform::readFileBytes(rosterPath);
        if (!old.ok() && old.error != platform::FileError::NotFound)
            return fail(rosterPath, QStringLiteral("読めません（%1）").arg(old.errorText));
        const QString dataFolder = platform::localPath(m_state->settings.DataFolder);
        if (!old.ok() && !QFileInfo(dataFolder).isDir())
            return fail(dataFolder, QStringLiteral("フォルダがありません"));
        records::RosterFile roster;
        roster.parse(platform::fromCp932(old.bytes));
        const std::vector<records::RosterLine> lines = RosterLinesOf(list.pupils, roster.lines());
        const QByteArray bytes = o.replace ? records::RosterFileBytes(lines)
                                           : records::MergedRosterBytes(old.bytes, lines);

        // The old roster is kept whole before the new one takes its place (the empty one
        // init makes holds nothing to keep).
        QString backup, why;
        if (old.ok() && !old.bytes.isEmpty()) {
            backup = backupPath(rosterPath);
            if (!platform::writeFileOnDisk(backup, old.bytes, &why))
                return fail(backup,
                            QStringLiteral("書けません（%1）。名簿は元のままです").arg(why));
        }
        const QString temp = rosterPath + QStringLiteral(".tmp");
        if (!platform::writeFileOnDisk(temp, bytes, &why) ||
            !platform::renameFile(temp, rosterPath, &why)) {
            QString ignored;
            platform::removeFile(temp, &ignored);
            return fail(rosterPath,
                        QStringLiteral("書けません（%1）。名簿は元のままです").arg(why));
        }

        struct Count {
            int all = 0, added = 0, updated = 0;
        };
        std::map<int, Count> grades;
        Count total;
        std::set<int> held, listed;
        for (const records::RosterLine &l : roster.lines())
            held.insert(l.Number);
        for (const ClassListPupil &p : list.pupils) {
            const bool update = held.count(p.number) != 0;
            listed.insert(p.number);
            for (Count *c : {&grades[menus::GradeOf(*year, p.birthYear)], &total}) {
                ++c->all;
                ++(update ? c->updated : c->added);
            }
        }
        const auto countText = [](const Count &c) {
            return QStringLiteral("%1人（新規 %2、更新 %3）")
                .arg(c.all)
                .arg(c.added)
                .arg(c.updated);
        };
        for (const auto &[grade, count] : grades) {
            const auto code = menus::GradeCode(grade);
            print((code ? *code : menus::ListCode(grade)) + QStringLiteral(": ") +
                  countText(count) + u'\n');
        }
        print(QStringLiteral("合計: ") + countText(total) + u'\n');
        if (o.replace) {
            const auto removed = std::count_if(held.begin(), held.end(),
                                               [&](int k) { return listed.count(k) == 0; });
            print(QStringLiteral("名簿から外した生徒: %1人\n").arg(removed));
        }
        print(QStringLiteral("書きました: %1\n").arg(displayPath(rosterPath)));
        if (!backup.isEmpty())
            print(QStringLiteral("前の名簿: %1\n").arg(displayPath(backup)));
        return 0;
    }

    // The roster as CSV, the grade as the name selection shows it.
    int exportRoster()
    {
        const std::optional<int> year = schoolYear();
        if (!year)
            return 2;
        const std::optional<records::RosterFile> roster = loadRoster();
        if (!roster)
            return 2;
        const QString path = records::RosterFile::path(m_state->settings);
        for (const records::RosterProblem &p : roster->problems())
            m_result.err +=
                (displayPath(path) + u':' + QString::number(p.line) + QStringLiteral(": ") +
                 p.message + QStringLiteral("（この行は書き出していません）\n"))
                    .toUtf8();
        startCsv();
        QString text = csv({QStringLiteral("番号"), QStringLiteral("氏名"), QStringLiteral("学年"),
                            QStringLiteral("生年"), QStringLiteral("状態")});
        for (const records::RosterLine &l : roster->lines())
            text += csv({QString::number(l.Number), core::TrimSpaces(l.Name),
                         menus::ListCode(menus::GradeOf(*year, l.BirthYear)),
                         QString::number(l.BirthYear), QString::number(l.State)});
        print(text);
        return roster->problems().empty() ? 0 : 1;
    }

    // ---- report --------------------------------------------------------------------------

    int report(const Options &o)
    {
        core::AppState &s = *m_state;
        if (auto err = core::LoadCriteria(s))
            return fail(core::CriteriaFilePath(s), *err);
        core::SetLevelTable(s);
        if (!schoolYear())
            return 2;
        const std::optional<records::RosterFile> roster = loadRoster();
        if (!roster)
            return 2;
        const GradeImage image = readGradeFile(s);
        if (!image.error.isEmpty())
            return fail(records::GradeFilePath(s.settings), image.error);
        records::LoadedRecords loaded;
        records::TakeGradeRecords(image.bytes.constData(),
                                  image.bytes.size() / records::kGradeRecordSize, loaded);

        const QDate today = m_clock.today();
        ReportPeriod period = ThisWeek(o.to.value_or(today));
        if (o.from)
            period.from = *o.from;
        if (period.from > period.to) {
            m_result.err += QStringLiteral("tavoro-data: 期間の始まり %1 が終わり %2 より後です\n")
                                .arg(period.from.toString(QStringLiteral("yyyy-MM-dd")),
                                     period.to.toString(QStringLiteral("yyyy-MM-dd")))
                                .toUtf8();
            return 2;
        }
        const ClassReport r = BuildClassReport(
            s, loaded.records, roster->lines(), period,
            [&](int grade) {
                return o.gradeFilter.isEmpty() ||
                       records::GradeFilterMatch(o.gradeFilter, grade) == 1;
            },
            today);
        if (o.csv) {
            startCsv();
            print(ClassReportCsv(r, csvEnd()));
            return 0;
        }
        QSaveFile file(o.pdf);
        if (!file.open(QIODevice::WriteOnly))
            return fail(o.pdf, QStringLiteral("書けません（%1）").arg(file.errorString()));
        bool drawn = false;
        {
            QPdfWriter pdf(&file);
            pdf.setResolution(600);
            pdf.setCreator(QStringLiteral("tavoro-data"));
            pdf.setTitle(s.profile.ProgramTitle + QStringLiteral(" 練習の記録"));
            drawn = DrawClassReport(pdf, r);
        }
        if (!drawn) {
            file.cancelWriting();
            return fail(o.pdf, QStringLiteral("ページを描けません"));
        }
        if (!file.commit())
            return fail(o.pdf, QStringLiteral("書けません（%1）").arg(file.errorString()));
        platform::shareWithGroupLikeFolder(o.pdf);
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
    bool m_excel = false;
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

// The path data file beside the program folder.
QString pathDataFile(const QString &appFolder)
{
    return QDir::cleanPath(
        platform::localPath(platform::withTrailingSeparator(appFolder) + QStringLiteral("../")) +
        QStringLiteral("/パスデータ.txt"));
}

// Where a file is written: the path data file may be a link to the one kept with the
// system's configuration (/etc/tavoro), and is then written where the link points.
QString writtenPath(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
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
    const QString pathFile = pathDataFile(appFolder);

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
        const QString target = writtenPath(f.path);
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

// Points the program folder at the data folder `folder`: writes the path data file beside the
// program folder, over the one that is there. An installer runs it with the folder the
// administrator gave.
int setDataFolder(const QString &folder, const QString &appFolder, Result &result)
{
    const auto fail = [&](const QString &text) {
        result.err += (QStringLiteral("tavoro-data: ") + text + u'\n').toUtf8();
        return 2;
    };
    // Written as the system writes paths, with its separator at the end.
    QString absolute = QDir(folder).absolutePath();
    if (!absolute.endsWith(u'/'))
        absolute += u'/';
    const QString data = QDir::toNativeSeparators(absolute);
    if (const QString why = unfitText(QStringLiteral("データフォルダの名前"), data); !why.isEmpty())
        return fail(why);
    const QString pathFile = pathDataFile(appFolder);
    const QString target = writtenPath(pathFile);
    QString why;
    if (!QDir().mkpath(QFileInfo(target).absolutePath()) ||
        !platform::writeFileOnDisk(target, defaults::TextFileBytes(defaults::PathDataLines(data)),
                                   &why))
        return fail(QStringLiteral("書けません: %1（%2）").arg(displayPath(pathFile), why));
    result.out += QStringLiteral("書きました: %1（データフォルダ %2）\n")
                      .arg(displayPath(pathFile), data)
                      .toUtf8();
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
        "  export [--excel]\n"
        "          成績累積データの全記録 (record,date,time,pupil,level,seconds,school,note,\n"
        "          points)\n"
        "  stats [--excel]\n"
        "          生徒・レベルごとの集計 (pupil,level,total_runs,total_points,period_runs,\n"
        "          period_points,overuse_runs,overuse_earned,runs_today,points_today,\n"
        "          personal_best)\n"
        "  best [--excel]\n"
        "          レベルごとの学校最高記録 (level,school_best)\n"
        "  check   データファイルを調べ、問題を 1 行ずつ FILE:WHERE: message の形で出します\n"
        "  init    新しいデータフォルダ DATA_DIR を作り (共通データ・空の名簿・基準・音)、\n"
        "          プログラムのフォルダの隣の パスデータ.txt にそのフォルダを書きます。\n"
        "          既にあるファイルは書き換えません。CODE は 5 けたの学校コード、M は年度の\n"
        "          始まりの月 (既定 4)。GROUP を付けると、データフォルダとその中の\n"
        "          ファイルをそのグループに渡し、グループで書けるようにします\n"
        "          (フォルダには setgid)\n"
        "  datafolder DATA_DIR\n"
        "          プログラムのフォルダの隣の パスデータ.txt を、データフォルダ DATA_DIR を\n"
        "          指すように書き直します (インストーラーが使います)\n"
        "  graph --pupil N [--levels 1,2,3] --pdf FILE\n"
        "          生徒 N のグラフ (「印刷」と同じページ) を PDF ファイルに書きます\n"
        "  roster import FILE [--replace]\n"
        "          クラス名簿の CSV (UTF-8 か シフトJIS、1 行目は列の名前: 番号, 氏名 か\n"
        "          名前, 学年 か 生年, 状態) を 新名簿.txt に取り込みます。名簿にある番号\n"
        "          の生徒は書き換え、ない番号の生徒は加えます。--replace では名簿を FILE の\n"
        "          生徒だけにします。前の名簿は 新名簿.txt.YYYY-MM-DD.bak に残します。\n"
        "          正しくない行が一つでもあれば何も書かず、行ごとに FILE:LINE: message を\n"
        "          出します\n"
        "  roster export [--excel]\n"
        "          名簿を CSV で書き出します (番号,氏名,学年,生年,状態)\n"
        "  report [--from DATE] [--to DATE] [--grade 小３] (--pdf FILE | --csv [--excel])\n"
        "          期間 (既定: 今週の月曜日から今日まで) の練習の記録を学年ごとに、生徒 1 人\n"
        "          1 行で: 回数, ポイント, クリアしたレベル, やりすぎ禁止のレベル, 各レベルの\n"
        "          最高タイム, 最後の日。DATE は 2026-12-09 のように書きます\n"
        "\n"
        "  --app-folder DIR    プログラムのフォルダ (既定: tavoro-data のあるフォルダ)\n"
        "  --today YYYY-MM-DD  今日の日付の代わりに使う日付\n"
        "  --excel             Excel 用の CSV (UTF-8 の BOM 付き、改行は CR LF)\n"
        "\n"
        "出力は UTF-8 の CSV です (改行は LF)。終了コード: 0 問題なし, 1 問題あり (check,\n"
        "roster export), 2 ファイルを読めない・書けない・引数や取り込むファイルの誤り\n");
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
    Options options;
    bool pupilGiven = false, levelsGiven = false, reportOptionGiven = false;
    QStringList positional; // after the command
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
        const auto date = [&](const QString &name) -> std::optional<QDate> {
            const QDate d = QDate::fromString(value, QStringLiteral("yyyy-MM-dd"));
            if (!d.isValid() || value.size() != 10) {
                bad = QStringLiteral("%1 の日付「%2」が読めません（2026-12-09 のように書きます）")
                          .arg(name, value);
                return std::nullopt;
            }
            return d;
        };
        if (option(QStringLiteral("--app-folder"))) {
            if (value.isEmpty())
                bad = QStringLiteral("--app-folder の値が空です");
            appFolder = value;
        } else if (option(QStringLiteral("--today"))) {
            if (const auto d = date(QStringLiteral("--today")))
                day = *d;
        } else if (option(QStringLiteral("--pupil"))) {
            bool ok = false;
            options.pupil = value.toInt(&ok);
            pupilGiven = true;
            if (!ok || options.pupil < 1 || options.pupil > core::kMaxStudent)
                bad = QStringLiteral("--pupil の生徒番号「%1」は 1～%2 の数ではありません")
                          .arg(value)
                          .arg(core::kMaxStudent);
        } else if (option(QStringLiteral("--levels"))) {
            options.levels.clear();
            levelsGiven = true;
            for (const QString &part : value.split(u',')) {
                bool ok = false;
                const int level = part.trimmed().toInt(&ok);
                if (!ok || level < 1 || level > core::kMaxLevel) {
                    bad = QStringLiteral("--levels のレベル「%1」が読めません").arg(part);
                    break;
                }
                options.levels.push_back(level);
            }
        } else if (option(QStringLiteral("--pdf"))) {
            options.pdf = value;
            if (value.isEmpty())
                bad = QStringLiteral("--pdf の値が空です");
        } else if (option(QStringLiteral("--from"))) {
            options.from = date(QStringLiteral("--from"));
            reportOptionGiven = true;
        } else if (option(QStringLiteral("--to"))) {
            options.to = date(QStringLiteral("--to"));
            reportOptionGiven = true;
        } else if (option(QStringLiteral("--grade"))) {
            reportOptionGiven = true;
            // A filter of the name selection's list, or a grade as a class list writes it.
            if (menus::GradeFilterItems().contains(value)) {
                options.gradeFilter = value;
            } else if (const auto grade = GradeOfText(value)) {
                options.gradeFilter = *menus::GradeCode(*grade);
            } else {
                bad = QStringLiteral("--grade の学年「%1」が読めません（小３・小3・中1・"
                                     "小学生全体・中学生全体 など）")
                          .arg(value);
            }
        } else if (!bad.isEmpty()) {
            break;
        } else if (a == QLatin1String("--csv")) {
            options.csv = true;
            reportOptionGiven = true;
        } else if (a == QLatin1String("--excel")) {
            options.excel = true;
        } else if (a == QLatin1String("--replace")) {
            options.replace = true;
        } else if (a.startsWith(u'-')) {
            bad = QStringLiteral("知らないオプション「%1」").arg(a);
        } else if (!command.isEmpty()) {
            positional << a;
        } else {
            command = a;
            if (command == QLatin1String("datafolder")) {
                if (args.size() == i + 2 && !args.at(i + 1).startsWith(u'-')) {
                    result.status = setDataFolder(args.at(i + 1), appFolder, result);
                    return result;
                }
                bad = QStringLiteral("datafolder の後にはデータフォルダが一つ要ります");
                break;
            }
            if (command == QLatin1String("init")) {
                // init takes arguments of its own.
                InitOptions initOptions;
                bad = parseInit(args.mid(i + 1), &initOptions);
                if (bad.isEmpty()) {
                    result.status = init(initOptions, appFolder, result);
                    return result;
                }
            }
        }
    }
    const auto check = [&](bool wrong, const QString &why) {
        if (bad.isEmpty() && wrong)
            bad = why;
    };
    const bool roster = command == QLatin1String("roster");
    if (roster && !positional.isEmpty())
        options.rosterCommand = positional.takeFirst();
    const bool rosterImport = roster && options.rosterCommand == QLatin1String("import");
    if (rosterImport && !positional.isEmpty())
        options.file = positional.takeFirst();
    check(command.isEmpty(), QStringLiteral("COMMAND がありません"));
    check(command != QLatin1String("export") && command != QLatin1String("stats") &&
              command != QLatin1String("best") && command != QLatin1String("check") &&
              command != QLatin1String("graph") && !roster && command != QLatin1String("report"),
          QStringLiteral("知らない COMMAND「%1」").arg(command));
    check(roster && options.rosterCommand.isEmpty(),
          QStringLiteral("roster の後には import か export が要ります"));
    check(roster && !rosterImport && options.rosterCommand != QLatin1String("export"),
          QStringLiteral("知らない roster のコマンド「%1」（import か export）")
              .arg(options.rosterCommand));
    check(rosterImport && options.file.isEmpty(),
          QStringLiteral("roster import には読み込むファイル FILE が要ります"));
    check(!positional.isEmpty(), QStringLiteral("余分な引数「%1」").arg(positional.value(0)));
    const bool graph = command == QLatin1String("graph");
    const bool report = command == QLatin1String("report");
    check(graph && (!pupilGiven || options.pdf.isEmpty()),
          QStringLiteral("graph には --pupil と --pdf が要ります"));
    check(!graph && (pupilGiven || levelsGiven),
          QStringLiteral("--pupil と --levels は graph だけのオプションです"));
    check(!graph && !report && !options.pdf.isEmpty(),
          QStringLiteral("--pdf は graph と report だけのオプションです"));
    check(!report && reportOptionGiven,
          QStringLiteral("--from, --to, --grade, --csv は report だけのオプションです"));
    check(report && options.csv == !options.pdf.isEmpty(),
          QStringLiteral("report には --pdf FILE か --csv のどちらか一つが要ります"));
    check(options.replace && !rosterImport,
          QStringLiteral("--replace は roster import だけのオプションです"));
    const bool writesCsv = command == QLatin1String("export") ||
                           command == QLatin1String("stats") || command == QLatin1String("best") ||
                           (roster && !rosterImport) || (report && options.csv);
    check(options.excel && !writesCsv,
          QStringLiteral("--excel は CSV を書くコマンド (export, stats, best, roster export, "
                         "report --csv) だけのオプションです"));
    if (!bad.isEmpty()) {
        result.err = (QStringLiteral("tavoro-data: ") + bad + u'\n' + Usage()).toUtf8();
        result.status = 2;
        return result;
    }
    Tool tool(result, day);
    result.status = tool.run(command, appFolder, options);
    return result;
}

} // namespace tavoro::datatool
