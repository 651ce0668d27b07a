// The class report: its rows from the statistics and the level rules, its CSV and its pages.
#include "ClassReport.h"

#include "DataTool.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "menus/Graph.h"
#include "menus/LevelMenu.h"
#include "menus/NameList.h"
#include "platform/Clock.h"
#include "records/FinishRules.h"
#include "records/GradeLoad.h"
#include "records/Statistics.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <map>

namespace tavoro::datatool {
namespace {

// The statistics count their periods back from today: for the state at the end of the
// report's period, today is its last day.
class DayClock final : public platform::Clock {
public:
    DayClock(platform::Clock &clock, const QDate &day) : m_clock(clock), m_day(day) {}
    float secondsSinceMidnight() override { return m_clock.secondsSinceMidnight(); }
    QDate today() override { return m_day; }
    std::uint32_t tickMs() override { return m_clock.tickMs(); }
    void idle() override { m_clock.idle(); }

private:
    platform::Clock &m_clock;
    QDate m_day;
};

QString gradeName(int grade)
{
    if (const auto code = menus::GradeCode(grade))
        return *code;
    return menus::ListCode(grade);
}

const char16_t *const kWeekdays[] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};

QString weekday(const QDate &d)
{
    return QString::fromUtf16(kWeekdays[d.dayOfWeek() - 1]);
}

// "2026年12月7日（月）"
QString longDate(const QDate &d)
{
    return QStringLiteral("%1年%2月%3日（%4）")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(weekday(d));
}

// "12/7（月）"
QString shortDate(const QDate &d)
{
    return d.isValid() ? QStringLiteral("%1/%2（%3）").arg(d.month()).arg(d.day()).arg(weekday(d))
                       : QString();
}

QString bestText(std::int32_t seconds)
{
    return seconds == core::kNoTime ? QString() : QString::number(seconds);
}

} // namespace

ReportPeriod ThisWeek(const QDate &today)
{
    return {today.addDays(1 - today.dayOfWeek()), today};
}

ClassReport
BuildClassReport(core::AppState &state, const std::vector<records::GradeRecord> &records,
                 const std::vector<records::RosterLine> &roster, const ReportPeriod &period,
                 const std::function<bool(int grade)> &gradeWanted, const QDate &printed)
{
    ClassReport report;
    report.school = state.settings.SchoolName;
    report.title = state.profile.ProgramTitle;
    report.period = period;
    report.printed = printed;
    const int levelCount = std::clamp<int>(state.profile.LevelCount, 0, core::kMaxLevel);
    for (int level = 1; level <= levelCount; ++level)
        report.levelNames << state.profile.LevelNames[level];

    platform::Clock *const clock = state.services.clock;
    DayClock lastDay(*clock, period.to);
    state.services.clock = &lastDay;

    state.roster.SchoolYear = menus::SchoolYearOf(period.to, state.settings.SchoolYearStartMonth);
    const std::vector<menus::ListedPupil> listed =
        menus::TakeRosterLines(state, roster, state.settings.RosterSwitch.equals(1));

    const double from = records::DateValue(period.from);
    const double end = records::DateValue(period.to) + 1;
    std::vector<records::GradeRecord> upToEnd, inPeriod;
    for (const records::GradeRecord &r : records) {
        if (r.RecDate < end)
            upToEnd.push_back(r);
        if (r.RecDate >= from && r.RecDate < end)
            inPeriod.push_back(r);
    }
    // As the program would have read the file on the last day: its newest records.
    if (upToEnd.size() > std::size_t(records::kMaxLoaded))
        upToEnd.erase(upToEnd.begin(), upToEnd.end() - records::kMaxLoaded);

    std::map<int, ReportGrade> grades;
    records::ComputeStatisticsFromRecords(state, upToEnd);
    for (const menus::ListedPupil &p : listed) {
        const QString name = core::TrimSpaces(p.name);
        const int grade = menus::GradeOf(state.roster.SchoolYear, p.birthYear);
        if (core::IsTeacherName(name) || !gradeWanted(grade))
            continue;
        ReportGrade &g = grades[grade];
        g.grade = grade;
        g.name = gradeName(grade);
        ReportRow row;
        row.number = p.number;
        row.name = name;
        // The menu's level rules for this pupil, as he would find them after logging in.
        state.pupil.CurrentStudent = std::int16_t(p.number);
        state.pupil.StudentName = p.name;
        const menus::LevelRules rules = menus::LevelRulesFor(state);
        for (int level = 1; level <= levelCount; ++level) {
            if (records::ClearConditionHolds(state, p.number, level))
                row.cleared.push_back(level);
            if (rules.barred[std::size_t(level)])
                row.heldBack.push_back(level);
        }
        g.rows.push_back(std::move(row));
    }

    records::ComputeStatisticsFromRecords(state, inPeriod);
    std::map<int, QDate> lastRun;
    for (const records::GradeRecord &r : inPeriod) {
        if (!records::GradeRecordInRange(r) || !records::CountedRecord(r) ||
            !records::IsRunTime(r.RecSeconds))
            continue;
        const QDate d = records::DateFromValue(r.RecDate);
        QDate &last = lastRun[r.RecStudent];
        if (!last.isValid() || d > last)
            last = d;
    }
    for (auto &[grade, g] : grades) {
        for (ReportRow &row : g.rows) {
            const menus::PupilTotals totals = menus::TotalsOf(state.stats, row.number);
            row.runs = int(totals.runsSoFar);
            row.points = totals.pointsSoFar;
            for (int level = 1; level <= levelCount; ++level)
                row.best.push_back(state.stats.PersonalBest(row.number, level));
            if (const auto it = lastRun.find(row.number); it != lastRun.end())
                row.lastRun = it->second;
        }
        std::sort(g.rows.begin(), g.rows.end(),
                  [](const ReportRow &a, const ReportRow &b) { return a.number < b.number; });
        report.grades.push_back(std::move(g));
    }
    state.services.clock = clock;
    return report;
}

QString LevelListText(const std::vector<int> &levels)
{
    QStringList parts;
    for (int level : levels)
        parts << QString::number(level);
    return parts.join(u' ');
}

QString LevelRangesText(const std::vector<int> &levels)
{
    QStringList parts;
    for (std::size_t i = 0; i < levels.size();) {
        std::size_t j = i;
        while (j + 1 < levels.size() && levels[j + 1] == levels[j] + 1)
            ++j;
        if (j >= i + 2)
            parts << QStringLiteral("%1～%2").arg(levels[i]).arg(levels[j]);
        else
            for (std::size_t k = i; k <= j; ++k)
                parts << QString::number(levels[k]);
        i = j + 1;
    }
    return parts.join(u'・');
}

QString ClassReportCsv(const ClassReport &report, const QString &lineEnd)
{
    const auto line = [&](const QStringList &fields) {
        QStringList quoted;
        for (const QString &f : fields)
            quoted << CsvField(f);
        return quoted.join(u',') + lineEnd;
    };
    QStringList header{QStringLiteral("学年"),
                       QStringLiteral("番号"),
                       QStringLiteral("氏名"),
                       QStringLiteral("回数"),
                       QStringLiteral("ポイント"),
                       QStringLiteral("クリアしたレベル"),
                       QStringLiteral("やりすぎ禁止のレベル")};
    for (const QString &name : report.levelNames)
        header << QStringLiteral("最高(%1)").arg(name);
    header << QStringLiteral("最後の日") << QStringLiteral("練習なし");
    QString text = line(header);
    for (const ReportGrade &g : report.grades) {
        for (const ReportRow &r : g.rows) {
            QStringList fields{g.name,
                               QString::number(r.number),
                               r.name,
                               QString::number(r.runs),
                               QString::number(r.points),
                               LevelListText(r.cleared),
                               LevelListText(r.heldBack)};
            for (std::int32_t b : r.best)
                fields << bestText(b);
            fields << (r.lastRun.isValid() ? r.lastRun.toString(QStringLiteral("yyyy-MM-dd"))
                                           : QString())
                   << (r.runs == 0 ? QStringLiteral("＊") : QString());
            text += line(fields);
        }
    }
    return text;
}

// ---- Pages ------------------------------------------------------------------------------

namespace {

// Sizes in twips (the painter's units) and points.
constexpr double kRowHeight = 300;
constexpr double kHeaderRowHeight = 280; // each of the table's two heading rows
constexpr double kPad = 60;              // text inside a cell
constexpr double kHeadingHeight = 1000;  // school, title, period, printing date
constexpr double kGradeHeadingHeight = 450;
constexpr double kFooterHeight = 360;
constexpr double kRowFont = 9;
constexpr double kHeadingFont = 8;

const QColor kGrid(0x90, 0x90, 0x90);
const QColor kHeadingFill(0xE4, 0xE4, 0xE4);
const QColor kStripe(0xF4, 0xF4, 0xF4);

QFont font(double points, bool bold = false)
{
    QFont f = menus::GraphFont(points);
    f.setBold(bold);
    return f;
}

struct Column {
    QString title;
    double width = 0;
    Qt::Alignment align = Qt::AlignLeft;
};

std::vector<Column> columnsFor(const ClassReport &report, double width)
{
    std::vector<Column> c{{QStringLiteral("番号"), 0.06, Qt::AlignRight},
                          {QStringLiteral("氏名"), 0.19, Qt::AlignLeft},
                          {QStringLiteral("回数"), 0.055, Qt::AlignRight},
                          {QStringLiteral("ポイント"), 0.075, Qt::AlignRight},
                          {QStringLiteral("クリア"), 0.10, Qt::AlignHCenter},
                          {QStringLiteral("やりすぎ禁止"), 0.10, Qt::AlignHCenter}};
    const double rest = 1.0 - 0.06 - 0.19 - 0.055 - 0.075 - 0.10 - 0.10 - 0.10;
    const qsizetype levels = std::max<qsizetype>(1, report.levelNames.size());
    for (const QString &name : report.levelNames)
        c.push_back({name, rest / double(levels), Qt::AlignRight});
    c.push_back({QStringLiteral("最後の日"), 0.10, Qt::AlignLeft});
    for (Column &col : c)
        col.width *= width;
    return c;
}

void cell(QPainter &p, const QRectF &r, const QString &text, Qt::Alignment align)
{
    const QRectF inner = r.adjusted(kPad, 0, -kPad, 0);
    const QString shown =
        QFontMetricsF(p.font()).elidedText(text, Qt::ElideRight, std::max(0.0, inner.width()));
    p.drawText(inner, int(align | Qt::AlignVCenter | Qt::TextDontClip), shown);
}

// One page: a part of one grade's rows.
struct PagePlan {
    std::size_t grade = 0;
    std::size_t first = 0;
    std::size_t count = 0;
    bool continued = false;
};

} // namespace

bool DrawClassReport(QPagedPaintDevice &device, const ClassReport &report)
{
    device.setPageLayout(menus::GraphPageLayout());
    QPainter p;
    if (!p.begin(&device))
        return false;
    const QSizeF size = menus::SetTwipsWindow(p, device);
    const double w = size.width();
    const double h = size.height();
    const double tableTop = kHeadingHeight + kGradeHeadingHeight;
    const double rowsTop = tableTop + 2 * kHeaderRowHeight;
    const std::size_t perPage =
        std::max<std::size_t>(1, std::size_t((h - kFooterHeight - rowsTop) / kRowHeight));

    std::vector<PagePlan> pages;
    for (std::size_t g = 0; g < report.grades.size(); ++g) {
        const std::size_t n = report.grades[g].rows.size();
        for (std::size_t first = 0; first < n; first += perPage)
            pages.push_back({g, first, std::min(perPage, n - first), first > 0});
    }
    const bool empty = pages.empty();
    if (empty)
        pages.push_back({});

    const std::vector<Column> columns = columnsFor(report, w);
    p.setPen(QPen(Qt::black, 10));
    for (std::size_t page = 0; page < pages.size(); ++page) {
        if (page > 0)
            device.newPage();
        const PagePlan &plan = pages[page];

        // The heading: the school and what the page is, the period, the day of printing.
        p.setPen(Qt::black);
        p.setFont(font(14, true));
        p.drawText(QRectF(0, 0, w, 400), Qt::AlignLeft | Qt::AlignTop,
                   report.school + QStringLiteral("　") + report.title +
                       QStringLiteral(" 練習の記録"));
        p.setFont(font(10));
        p.drawText(QRectF(0, 460, w, 280), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("期間 %1 ～ %2")
                       .arg(longDate(report.period.from), longDate(report.period.to)));
        p.setFont(font(9));
        p.drawText(QRectF(0, 0, w, 300), Qt::AlignRight | Qt::AlignTop,
                   QStringLiteral("印刷 %1").arg(longDate(report.printed)));
        p.setFont(font(8));
        p.drawText(
            QRectF(0, 500, w, 260), Qt::AlignRight | Qt::AlignTop,
            QStringLiteral("クリア・やりすぎ禁止は %1 の時点").arg(shortDate(report.period.to)));
        p.setPen(QPen(Qt::black, 20));
        p.drawLine(QPointF(0, kHeadingHeight - 160), QPointF(w, kHeadingHeight - 160));

        if (empty) {
            p.setFont(font(11));
            p.drawText(QRectF(0, kHeadingHeight, w, 400), Qt::AlignLeft | Qt::AlignTop,
                       QStringLiteral("名簿にこの学年の生徒がいません"));
        } else {
            const ReportGrade &g = report.grades[plan.grade];
            const auto idle = std::count_if(g.rows.begin(), g.rows.end(),
                                            [](const ReportRow &r) { return r.runs == 0; });
            p.setPen(Qt::black);
            p.setFont(font(12, true));
            p.drawText(QRectF(0, kHeadingHeight, w, kGradeHeadingHeight),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("%1　%2人（期間中に練習していない生徒 %3人）%4")
                           .arg(g.name)
                           .arg(g.rows.size())
                           .arg(idle)
                           .arg(plan.continued ? QStringLiteral("　（続き）") : QString()));

            // The table's heading: the best times share one title over their columns.
            const double levelsLeft = [&] {
                double x = 0;
                for (std::size_t c = 0; c < 6; ++c)
                    x += columns[c].width;
                return x;
            }();
            double levelsWidth = 0;
            for (std::size_t c = 6; c + 1 < columns.size(); ++c)
                levelsWidth += columns[c].width;
            p.fillRect(QRectF(0, tableTop, w, 2 * kHeaderRowHeight), kHeadingFill);
            p.setFont(font(kHeadingFont));
            p.setPen(Qt::black);
            p.drawText(QRectF(levelsLeft, tableTop, levelsWidth, kHeaderRowHeight), Qt::AlignCenter,
                       QStringLiteral("最高タイム（秒）"));
            double x = 0;
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const bool level = c >= 6 && c + 1 < columns.size();
                const QRectF r =
                    level
                        ? QRectF(x, tableTop + kHeaderRowHeight, columns[c].width, kHeaderRowHeight)
                        : QRectF(x, tableTop, columns[c].width, 2 * kHeaderRowHeight);
                p.drawText(r.adjusted(kPad / 2, 0, -kPad / 2, 0), Qt::AlignCenter,
                           columns[c].title);
                x += columns[c].width;
            }

            for (std::size_t i = 0; i < plan.count; ++i) {
                const ReportRow &r = g.rows[plan.first + i];
                const double y = rowsTop + double(i) * kRowHeight;
                if (i % 2 == 1)
                    p.fillRect(QRectF(0, y, w, kRowHeight), kStripe);
                // A pupil who did not practise in the period stands out: bold, with a mark.
                const bool idleRow = r.runs == 0;
                p.setFont(font(kRowFont, idleRow));
                p.setPen(Qt::black);
                QStringList texts{QString::number(r.number),
                                  (idleRow ? QStringLiteral("＊") : QString()) + r.name,
                                  QString::number(r.runs),
                                  QString::number(r.points),
                                  LevelRangesText(r.cleared),
                                  LevelRangesText(r.heldBack)};
                for (std::int32_t b : r.best)
                    texts << bestText(b);
                texts << shortDate(r.lastRun);
                double cx = 0;
                for (std::size_t c = 0; c < columns.size() && c < std::size_t(texts.size()); ++c) {
                    cell(p, QRectF(cx, y, columns[c].width, kRowHeight), texts.at(qsizetype(c)),
                         columns[c].align);
                    cx += columns[c].width;
                }
            }

            // The grid.
            const double bottom = rowsTop + double(plan.count) * kRowHeight;
            p.setPen(QPen(kGrid, 8));
            for (std::size_t i = 0; i <= plan.count; ++i) {
                const double y = rowsTop + double(i) * kRowHeight;
                p.drawLine(QPointF(0, y), QPointF(w, y));
            }
            p.drawLine(QPointF(levelsLeft, tableTop + kHeaderRowHeight),
                       QPointF(levelsLeft + levelsWidth, tableTop + kHeaderRowHeight));
            x = 0;
            for (std::size_t c = 0; c <= columns.size(); ++c) {
                const bool level = c > 6 && c < columns.size();
                p.drawLine(QPointF(x, level ? tableTop + kHeaderRowHeight : tableTop),
                           QPointF(x, bottom));
                if (c < columns.size())
                    x += columns[c].width;
            }
            p.setPen(QPen(Qt::black, 16));
            p.drawRect(QRectF(0, tableTop, w, bottom - tableTop));
        }

        // The foot: what the mark means, and the page number.
        p.setPen(Qt::black);
        p.setFont(font(8));
        const QRectF foot(0, h - kFooterHeight + 80, w, kFooterHeight - 80);
        if (!empty)
            p.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("＊太字: 期間中に練習していない生徒"));
        p.setFont(font(9));
        p.drawText(foot, Qt::AlignHCenter | Qt::AlignVCenter,
                   QStringLiteral("%1 / %2").arg(page + 1).arg(pages.size()));
    }
    return p.end();
}

} // namespace tavoro::datatool
