// The own-times lists, the graph blocks and their drawing.
#include "Graph.h"

#include "NameList.h"
#include "Ranking.h"
#include "SortedList.h"

#include "core/Profile.h"
#include "platform/Clock.h"
#include "platform/Fonts.h"
#include "platform/RecordFile.h"
#include "records/GradeFile.h"
#include "records/GradeLoad.h"
#include "records/Marks.h"
#include "records/RosterFile.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tavoro::menus {
namespace {

constexpr QRgb kRecordRed = 0xFF0000; // &H000000FF&
constexpr QRgb kOtherBlue = 0x0000FF; // &H00FF0000&
constexpr double kTwipsPerPoint = 20;
constexpr double kScreenPenTwips = 15;            // one screen pixel of the design
constexpr double kPrinterPenTwips = 1440.0 / 600; // one dot of a 600 dpi printer

QString dateText(double value)
{
    const QDate d = records::DateFromValue(value);
    return d.isValid() ? d.toString(QStringLiteral("yyyy/MM/dd")) : QString();
}

QString clockText(double value)
{
    if (!std::isfinite(value))
        return QString();
    const long long s = std::llround((value - std::floor(value)) * 86400.0) % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

// Calls `take` for every whole record from 0-based index `first` to the end of the grade
// file, reading it in pieces. False when the file cannot be opened or read.
template <typename F> bool forEachRecord(const core::AppState &state, bool newestOnly, F take)
{
    platform::RecordFile file;
    if (!file.openForReading(records::GradeFilePath(state.settings)))
        return false;
    const std::int64_t n = records::GradeRecordCount(file);
    if (n < 0)
        return false;
    const std::int64_t first = newestOnly ? records::NewestWindow(n).first : 0;
    constexpr std::int64_t kPiece = 4096;
    std::vector<char> buffer(std::size_t(kPiece) * records::kGradeRecordSize);
    for (std::int64_t at = first; at < n; at += kPiece) {
        const std::int64_t count = std::min(kPiece, n - at);
        const std::int64_t bytes = count * records::kGradeRecordSize;
        if (file.readAt(at * records::kGradeRecordSize, buffer.data(), bytes) != bytes)
            return false;
        for (std::int64_t i = 0; i < count; ++i) {
            const records::GradeRecord r = records::DecodeGradeRecord(
                buffer.data() + std::size_t(i) * records::kGradeRecordSize);
            if (records::GradeRecordInRange(r))
                take(r);
        }
    }
    return true;
}

double periodStart(const core::AppState &state)
{
    return records::DateValue(state.services.clock->today()) - kGraphPeriodDays;
}

} // namespace

QString PadLeft(const QString &text, int width)
{
    if (text.size() >= width)
        return text.right(width);
    return QString(width - text.size(), u' ') + text;
}

QString WholeText(double value)
{
    const long long n = std::llround(value);
    return n == 0 ? QString() : QString::number(n);
}

QString RankWholeText(const QString &rankText)
{
    bool ok = false;
    const long long n = rankText.trimmed().toLongLong(&ok);
    if (!ok)
        return rankText;
    return WholeText(double(n));
}

QString PupilListLine(const QString &gradeCode, const QString &name, int pupil)
{
    return gradeCode + QStringLiteral(" /  ") + core::TrimSpaces(name) + u'/' +
           QString::number(pupil);
}

int PupilOfListLine(const QString &line)
{
    const qsizetype slash = line.lastIndexOf(u'/');
    if (slash < 0)
        return 0;
    bool ok = false;
    const int n = line.mid(slash + 1).toInt(&ok);
    return ok ? n : 0;
}

QStringList ReloadPupilLines(core::AppState &state)
{
    core::Roster &r = state.roster;
    r.SchoolYear = SchoolYearOf(state.services.clock->today(), state.settings.SchoolYearStartMonth);
    records::RosterFile roster;
    QStringList lines;
    if (!roster.load(records::RosterFile::path(state.settings)))
        return lines;
    for (const records::RosterLine &line : roster.lines()) {
        const int k = line.Number;
        if (k < 1 || k > core::kMaxStudent)
            continue;
        r.StudentNames[std::size_t(k)] = line.Name;
        r.BirthYears[std::size_t(k)] = line.BirthYear;
        // The grade the name selection shows: the school year already counts the months
        // before its start as the year before.
        if (const auto code = GradeCode(r.SchoolYear - line.BirthYear - 6))
            r.GradeCodes[std::size_t(k)] = *code;
        if (line.State == 0)
            lines.append(PupilListLine(r.GradeCodes[std::size_t(k)], line.Name, k));
    }
    return lines;
}

QString OwnTimeLine(const records::GradeRecord &record)
{
    QString line = dateText(record.RecDate) + u' ' + clockText(record.RecClock);
    if (record.RecSeconds < kOwnTimesNoTime)
        line += PadLeft(QString::number(record.RecSeconds) + QStringLiteral("秒"), 5);
    return line;
}

std::array<QStringList, core::kLevels> OwnTimesLists(const core::AppState &state, int pupil,
                                                     const QString &gradeFilter)
{
    std::array<QStringList, core::kLevels> lists;
    if (pupil < 1 || pupil > core::kMaxStudent ||
        records::GradeFilterMatch(gradeFilter, PupilGrade(state, pupil)) != 1)
        return lists;
    const double from = periodStart(state);
    const int levels = std::clamp<int>(state.profile.LevelCount, 0, core::kMaxLevel);
    forEachRecord(state, true, [&](const records::GradeRecord &r) {
        if (r.RecDate > from && r.RecLevel <= levels && r.RecLevel >= 1 && r.RecStudent == pupil)
            lists[std::size_t(r.RecLevel)].append(OwnTimeLine(r));
    });
    for (QStringList &l : lists)
        SortListTexts(l);
    return lists;
}

GraphRanking GraphRankingOf(const core::AppState &state, int level, GraphRankingKind kind,
                            int pointsOrder, const QString &gradeFilter)
{
    const core::Statistics &stats = state.stats;
    const bool times = kind == GraphRankingKind::Times;
    const PointsOrder order = pointsOrder == 2 ? PointsOrder::Today : PointsOrder::Cumulative;
    GraphRanking ranking;
    for (const RankedPupil &r : RankedPupils(state, level, times ? ListMode::Times : ListMode::Points,
                                             order, gradeFilter)) {
        const int p = r.pupil;
        const QString lead = PupilMark(state, p) + Name5(state.roster.StudentNames[std::size_t(p)]);
        const QString rank = PadLeft(QString::number(r.rank), 3);
        QString line;
        if (times) {
            if (r.primary != core::kNoTime)
                line = rank + lead + PadLeft(QString::number(r.primary), 6);
            else
                line = QStringLiteral("---") + lead + QStringLiteral("------");
            line += u' ';
            line += p == state.pupil.CurrentStudent ? QStringLiteral("●") : QStringLiteral("　");
        } else {
            line = rank + lead + PadLeft(QString::number(stats.PointsToday(p, level)), 3) + u'/' +
                   PadLeft(QString::number(stats.TotalPoints(p, level)), 5);
        }
        ranking.lines.append(line);
        ranking.pupils.push_back(p);
    }
    return ranking;
}

PointsFigures PointsFiguresOf(const GraphRanking &ranking, int shownPupil)
{
    PointsFigures f;
    for (qsizetype i = 0; i < ranking.lines.size(); ++i) {
        const QString &line = ranking.lines.at(i);
        const long long points = line.right(5).trimmed().toLongLong();
        if (points > 0) {
            ++f.count;
            f.sum += points;
        }
        if (ranking.pupils[std::size_t(i)] == shownPupil) {
            f.rank = line.left(3);
            f.points = points;
        }
    }
    return f;
}

QString TimeRankOf(const GraphRanking &ranking, int shownPupil)
{
    for (qsizetype i = 0; i < ranking.lines.size(); ++i)
        if (ranking.pupils[std::size_t(i)] == shownPupil)
            return ranking.lines.at(i).left(3);
    return QString();
}

GraphBlockFigures GraphFiguresOf(const core::AppState &state, int level, int shownPupil,
                                 int pointsOrder, const QString &gradeFilter)
{
    GraphBlockFigures f;
    const PointsFigures points = PointsFiguresOf(
        GraphRankingOf(state, level, GraphRankingKind::Points, pointsOrder, gradeFilter),
        shownPupil);
    f.pointsRank = points.rank;
    f.points = points.points;
    f.schoolPointsSum = points.sum;
    f.schoolPointsCount = points.count;
    f.timeRank =
        TimeRankOf(GraphRankingOf(state, level, GraphRankingKind::Times, pointsOrder, gradeFilter),
                   shownPupil);
    return f;
}

GraphBlock ComputeGraphBlock(const core::AppState &state, int level, int shownPupil,
                             const QString &gradeFilter, const GraphBlockFigures &figures)
{
    GraphBlock b;
    b.level = level;
    if (shownPupil >= 0 && shownPupil <= core::kMaxStudent)
        b.name = core::TrimSpaces(state.roster.StudentNames[std::size_t(shownPupil)]);
    const QString levelName = level >= 0 && level <= core::kMaxLevel
                                  ? state.profile.LevelNames[std::size_t(level)]
                                  : QString();
    b.title = state.profile.ProgramTitle + u' ' + levelName;
    const double from = periodStart(state);
    const int levels = std::clamp<int>(state.profile.LevelCount, 0, core::kMaxLevel);
    const auto inPeriod = [&](const records::GradeRecord &r) {
        return r.RecDate > from && r.RecLevel <= levels;
    };

    // First pass: the pupil's runs in the newest records.
    std::int32_t maximum = 0;
    forEachRecord(state, true, [&](const records::GradeRecord &r) {
        if (inPeriod(r) && r.RecStudent == shownPupil && r.RecLevel == level &&
            r.RecSeconds < kGraphSlowRun) {
            ++b.count;
            b.sum += r.RecSeconds;
            maximum = std::max(maximum, r.RecSeconds);
        }
    });
    b.scale = std::min<std::int32_t>(10 * (maximum / 10 + 1), 1000);

    // Second pass: the school over all records, and the pupil's runs to plot.
    const bool shownPasses =
        shownPupil >= 0 && shownPupil <= core::kMaxStudent &&
        records::GradeFilterMatch(gradeFilter, PupilGrade(state, shownPupil)) == 1;
    std::int32_t schoolMin = core::kNoTime;
    long long schoolSum = 0;
    long long schoolCount = 0;
    long long position = 0; // t: the pupil's runs under 1800 s met so far
    std::vector<long long> positions;
    forEachRecord(state, false, [&](const records::GradeRecord &r) {
        if (!inPeriod(r))
            return;
        b.lastDate = r.RecDate;
        b.hasLastDate = true;
        if (r.RecLevel != level)
            return;
        if (r.RecSeconds < kGraphSlowRun) {
            schoolSum += r.RecSeconds;
            ++schoolCount;
        }
        schoolMin = std::min(schoolMin, r.RecSeconds);
        if (r.RecStudent != shownPupil)
            return;
        if (r.RecSeconds < kGraphSlowRun)
            ++position;
        if (!shownPasses)
            return;
        GraphRun run;
        run.seconds = r.RecSeconds;
        run.date = r.RecDate;
        run.d = 0.8 - 0.7 * double(r.RecSeconds) / double(b.scale);
        b.runs.push_back(run);
        positions.push_back(position);
    });
    // The x axis spans the runs the second pass met: the first pass may have counted none
    // (only time-outs in the newest records) or fewer (runs older than the newest 20000).
    const double span = double(std::max<long long>(position, 1));
    double recordD = -99999;
    for (std::size_t i = 0; i < b.runs.size(); ++i) {
        GraphRun &run = b.runs[i];
        run.x = 0.2 + 0.7 * double(positions[i]) / span;
        if (run.d > recordD) {
            recordD = run.d;
            run.record = true;
            b.records.push_back(int(i));
        }
    }

    // The figures box.
    const QString bestText =
        b.records.empty()
            ? QString()
            : QString::number(b.runs[std::size_t(b.records.back())].seconds) + QStringLiteral("秒");
    b.figures[0] = QStringLiteral("回数　　　　　　　") + PadLeft(WholeText(double(b.count)), 3) +
                   QStringLiteral("回");
    b.figures[1] = QStringLiteral("タイム  　　 　    本人 / 塾全体");
    b.figures[2] = QStringLiteral("　　順位　　　　") +
                   PadLeft(RankWholeText(figures.timeRank), 5) + QStringLiteral("位");
    b.figures[3] = QStringLiteral("　　最高　　　　") + PadLeft(bestText, 6) +
                   QStringLiteral(" /") + PadLeft(WholeText(double(schoolMin)), 5) +
                   QStringLiteral("秒");
    if (b.count != 0)
        b.figures[4] =
            QStringLiteral("　　平均　　　　") + PadLeft(WholeText(double(b.sum / b.count)), 5) +
            QStringLiteral("秒") + QStringLiteral(" /") +
            PadLeft(WholeText(schoolCount ? double(schoolSum) / double(schoolCount) : 0), 5) +
            QStringLiteral("秒");
    b.figures[5] = QStringLiteral("ポイント  　　　");
    b.figures[6] = QStringLiteral("　　順位　　　　") +
                   PadLeft(RankWholeText(figures.pointsRank), 5) + QStringLiteral("位");
    b.figures[7] = QStringLiteral("　　獲得ポイント") +
                   PadLeft(WholeText(double(figures.points)), 5) + QStringLiteral("点");
    if (figures.schoolPointsCount != 0)
        b.figures[8] =
            QStringLiteral("　　　　　　　　　　　　/") +
            PadLeft(WholeText(double(figures.schoolPointsSum) / double(figures.schoolPointsCount)),
                    5) +
            QStringLiteral("点");
    b.figures[9] = QStringLiteral("　　　　　　　　　　　　 (塾平均)");
    return b;
}

double GraphBlockTop(int slot, double height)
{
    return 0.05 * height + slot * 0.3 * height;
}

QFont GraphFont(double points, bool aligned)
{
    // The figures box lines its columns up with full-width spaces: a font whose full-width
    // characters are exactly two half-width ones keeps them straight.
    QFont f = aligned ? platform::alignedGothicFont() : platform::gothicFont();
    f.setPixelSize(std::max(1, int(std::lround(points * kTwipsPerPoint))));
    return f;
}

QPageLayout GraphPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

namespace {

// Writes `text` with its top left at (x, y), moved in so that it stays within `band`.
void drawLabel(QPainter &p, double x, double y, const QString &text, const QRectF &band)
{
    const QFontMetricsF m(p.font());
    const double w = m.horizontalAdvance(text);
    const double h = m.height();
    x = std::clamp(x, band.left(), std::max(band.left(), band.right() - w));
    y = std::clamp(y, band.top(), std::max(band.top(), band.bottom() - h));
    p.drawText(QRectF(x, y, w + h, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

// The date of record-breaking run `index`, as mm/dd when its year is that of the run before.
QString shortDate(const GraphBlock &b, std::size_t index)
{
    const QString date = dateText(b.runs[std::size_t(b.records[index])].date);
    if (index == 0)
        return date;
    const QString before = dateText(b.runs[std::size_t(b.records[index - 1])].date);
    return date.left(5) == before.left(5) ? date.right(5) : date;
}

} // namespace

QPointF GraphPointPosition(const GraphSurface &surface, double top, const GraphRun &run)
{
    const double u = surface.size.width() / 2;
    const double v = surface.size.height() / 3;
    // A run slower than the axis maximum is placed at its top; one of 1800 s or more keeps
    // its place, outside the block, and is clipped away.
    double d = run.d;
    if (run.seconds < kGraphSlowRun)
        d = std::max(d, 0.1);
    return QPointF(run.x * u, top + d * v);
}

std::vector<GraphLabel> GraphPointLabels(const GraphSurface &surface, double top,
                                         const GraphBlock &b)
{
    std::vector<GraphLabel> labels;
    const std::size_t count = b.records.size();
    if (count == 0)
        return labels;
    const double u = surface.size.width() / 2;
    const double v = surface.size.height() / 3;
    const QRectF band(0, top, surface.size.width(), 0.3 * surface.size.height());
    const auto runOf = [&](std::size_t i) -> const GraphRun & {
        return b.runs[std::size_t(b.records[i])];
    };
    const auto timeText = [&](std::size_t i) {
        return QString::number(runOf(i).seconds) + QStringLiteral("秒");
    };
    // The labels of a point that lies outside its block are left out with it.
    const auto shown = [&](std::size_t i) { return band.contains(GraphPointPosition(surface, top, runOf(i))); };
    const auto pointY = [&](std::size_t i) { return GraphPointPosition(surface, top, runOf(i)).y(); };
    const auto left = [&](std::size_t i) { return runOf(i).x * u - 0.025 * u; };

    if (shown(0)) {
        labels.push_back({timeText(0), QPointF(0.12 * u, pointY(0) - 0.01 * v)});
        labels.push_back({dateText(runOf(0).date), QPointF(left(0), top + 0.815 * v)});
    }
    if (count > 5) {
        for (std::size_t i = 2; i + 1 <= count - 2; i += 3) {
            if (!shown(i))
                continue;
            labels.push_back({timeText(i), QPointF(left(i), pointY(i) + 0.01 * v)});
            labels.push_back({shortDate(b, i), QPointF(left(i), pointY(i) + 0.03 * v)});
        }
    }
    const std::size_t last = count - 1;
    if (shown(last)) {
        labels.push_back({timeText(last), QPointF(left(last), pointY(last) + 0.04 * v)});
        labels.push_back({shortDate(b, last), QPointF(left(last), pointY(last) + 0.07 * v)});
    }
    return labels;
}

void DrawGraphBlock(QPainter &p, const GraphSurface &surface, double y, const GraphBlock &b)
{
    const double width = surface.size.width();
    const double height = surface.size.height();
    const double u = width / 2;
    const double v = height / 3;
    const double base = surface.baseFontSize;
    const double penUnit = surface.printer ? kPrinterPenTwips : kScreenPenTwips;
    const double drawWidth = surface.printer ? 30 : 5;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, penUnit));

    if (y < 0.08 * height) {
        p.setFont(GraphFont(3 * base));
        drawLabel(p, 0.01 * u, 0.02 * v, b.name, QRectF(0, 0, width, height));
    }

    const QRectF band(0, y, width, 0.3 * height);
    p.setClipRect(band);

    p.setPen(QPen(Qt::black, 2 * penUnit));
    p.drawLine(QPointF(0, y), QPointF(width, y));
    p.drawLine(QPointF(0, y + 0.09 * v), QPointF(width, y + 0.09 * v));

    p.setPen(QPen(Qt::black, penUnit));
    p.setFont(GraphFont((surface.printer ? 3 : 2) * base));
    drawLabel(p, 0.7 * u, y + 0.01 * v, b.title, band);

    // The axes at the remembered drawing width, as the points.
    p.setPen(QPen(Qt::black, drawWidth * penUnit));
    p.drawLine(QPointF(0.2 * u, y + 0.8 * v), QPointF(0.9 * u, y + 0.8 * v));
    p.drawLine(QPointF(0.2 * u, y + 0.8 * v), QPointF(0.2 * u, y + 0.1 * v));

    const auto pointAt = [&](const GraphRun &r) { return GraphPointPosition(surface, y, r); };
    for (const GraphRun &r : b.runs) {
        p.setPen(QPen(QColor(r.record ? kRecordRed : kOtherBlue), drawWidth * penUnit,
                      Qt::SolidLine, Qt::RoundCap));
        p.drawPoint(pointAt(r));
    }

    p.setPen(QPen(Qt::black, penUnit));
    p.setFont(GraphFont(1.5 * base, true));
    const double s = (surface.printer ? 0.06 : 0.08) * v;
    for (int k = 1; k <= 9; ++k)
        if (!b.figures[std::size_t(k - 1)].isEmpty())
            drawLabel(p, 1.05 * u, y + 0.05 * v + k * s, b.figures[std::size_t(k - 1)], band);
    drawLabel(p, 1.05 * u, y + 0.05 * v + 9.5 * s, b.figures[9], band);

    p.setFont(GraphFont(base));
    const std::size_t count = b.records.size();
    if (count > 0) {
        if (b.hasLastDate && !b.runs.empty())
            drawLabel(p, b.runs.back().x * u - 0.025 * u, y + 0.815 * v, dateText(b.lastDate),
                      band);
        p.setPen(QPen(QColor(kRecordRed), 3 * penUnit));
        const GraphRun *previous = nullptr;
        for (int index : b.records) {
            const GraphRun &r = b.runs[std::size_t(index)];
            if (r.seconds >= kGraphSlowRun)
                continue; // a time-out is no point of the line
            if (previous)
                p.drawLine(pointAt(*previous), pointAt(r));
            previous = &r;
        }
        p.setPen(QPen(Qt::black, penUnit));
        drawLabel(p, 0.12 * u, y + 0.79 * v, QStringLiteral("0秒"), band);
        drawLabel(p, 0.12 * u, y + 0.1 * v, QString::number(b.scale) + QStringLiteral("秒"), band);
        // The labels of the points stand where their points stand: clipped with them, never
        // moved into the block over other drawing.
        const QFontMetricsF m(p.font());
        for (const GraphLabel &label : GraphPointLabels(surface, y, b))
            p.drawText(QRectF(label.at, QSizeF(m.horizontalAdvance(label.text) + m.height(),
                                               m.height())),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, label.text);
    }
    p.restore();
}

std::vector<std::vector<GraphBlock>> GraphPages(const core::AppState &state, int shownPupil,
                                                const std::vector<int> &levels, int pointsOrder,
                                                const QString &gradeFilter)
{
    std::vector<std::vector<GraphBlock>> pages;
    for (int level : levels) {
        if (pages.empty() || pages.back().size() == 3)
            pages.emplace_back();
        const GraphBlockFigures figures =
            GraphFiguresOf(state, level, shownPupil, pointsOrder, gradeFilter);
        pages.back().push_back(ComputeGraphBlock(state, level, shownPupil, gradeFilter, figures));
    }
    return pages;
}

QSizeF SetTwipsWindow(QPainter &painter, const QPaintDevice &device)
{
    const double w = double(device.width()) * 1440.0 / std::max(1, device.logicalDpiX());
    const double h = double(device.height()) * 1440.0 / std::max(1, device.logicalDpiY());
    painter.setViewport(0, 0, device.width(), device.height());
    painter.setWindow(0, 0, int(std::lround(w)), int(std::lround(h)));
    return QSizeF(std::lround(w), std::lround(h));
}

bool DrawGraphDocument(QPagedPaintDevice &device, const std::vector<std::vector<GraphBlock>> &pages)
{
    device.setPageLayout(GraphPageLayout());
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QSizeF size = SetTwipsWindow(painter, device);
    const GraphSurface surface{size, true, 6};
    for (std::size_t page = 0; page < pages.size(); ++page) {
        if (page > 0)
            device.newPage();
        for (std::size_t slot = 0; slot < pages[page].size(); ++slot)
            DrawGraphBlock(painter, surface, GraphBlockTop(int(slot), size.height()),
                           pages[page][slot]);
    }
    return painter.end();
}

} // namespace tavoro::menus
