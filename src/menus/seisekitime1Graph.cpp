// The level menu's own-times view and its graph panel: the pupil and level lists, drawing
// the level blocks on the screen and printing them.
#include "seisekitime1.h"

#include "Graph.h"
#include "SortedList.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "ui/ListBox.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace tavoro::menus {

// A document on the printer, or in a PDF file when no printer can be used.
struct seisekitime1::PrintJob {
    QPagedPaintDevice *device = nullptr;
    bool onPrinter = false;
    std::unique_ptr<QSaveFile> file;
    std::unique_ptr<QPdfWriter> pdf;
    QPainter painter;
    QSizeF size;
};

void seisekitime1::PrintJobEnd::operator()(PrintJob *job) const
{
    delete job;
}

seisekitime1::~seisekitime1() = default;

void seisekitime1::buildGraphPanel()
{
    Command17 = new QPushButton(QStringLiteral("グラフ"), this);
    Command17->setObjectName(QStringLiteral("Command17"));
    m_layout.place(Command17, 10320, 840, 1065, 345, 9);
    Command17->hide();
    connect(Command17, &QPushButton::clicked, this, &seisekitime1::Command17_Click);

    Picture11 = new GraphPanel(m_layout, this);
    Picture11->setAccessibleName(QStringLiteral("グラフ"));
    m_layout.place(Picture11, 5310, 9630, 15045, 9045);
    Picture11->hide();
    for (int i = 0; i <= 1; ++i)
        connect(Picture11->Command24[std::size_t(i)], &QPushButton::clicked, this,
                [this, i] { Command24_Click(i); });
    connect(Picture11->Command25, &QPushButton::clicked, this, &seisekitime1::Command25_Click);
    connect(Picture11->Command18, &QPushButton::clicked, this, &seisekitime1::Command18_Click);
    connect(Picture11->List2, &QListWidget::itemClicked, this, [this] { List2_Click(); });
    connect(Picture11->List3, &QListWidget::itemClicked, this, [this] { List3_Click(); });
    // The keys choose lines as the mouse does, and redraw as a click does.
    ui::ClickOnKeys(Picture11->List2, [this](int) { List2_Click(); });
    ui::ClickOnKeys(Picture11->List3, [this](int) { List3_Click(); });
}

void seisekitime1::ReloadPupilList()
{
    QStringList lines = ReloadPupilLines(m_state);
    // The list is a sorted one: pupils by grade code, then name.
    SortListTexts(lines);
    Picture11->List2->clear();
    Picture11->List2->addItems(lines);
}

void seisekitime1::Command16_Click()
{
    const platform::PacedEvents::Work work(m_events);
    const int pupil = m_state.pupil.CurrentStudent;
    ReloadPupilList();
    Picture11->List3->clear();
    for (int i = 1; i <= levelCount(); ++i)
        Picture11->List3->addItem(QString::number(i));
    GraphLevel = 1;
    ShownPupil = pupil;
    回数など表示();
    Label5->setText(QStringLiteral("個人別ﾀｲﾑ"));
    // At most 20000 records are read, once: every level's list is made now.
    const auto lists = OwnTimesLists(m_state, pupil, Combo1->currentText());
    for (int i = 1; i <= m_columnsBuilt; ++i) {
        m_listPending[std::size_t(i)] = false;
        List5[i]->setRows(lists[std::size_t(i)]);
    }
    Picture6->hide();
    ApplyLevelRules();
    showListsOfRecordedLevels();
    Command1->setEnabled(true);
}

void seisekitime1::Command17_Click()
{
    ShownPupil = m_state.pupil.CurrentStudent;
    Picture11->List2->hide();
    Picture11->Command25->show();
    Picture11->List2->clearSelection();
    QListWidget *levels = Picture11->List3;
    for (int j = 0; j < 3 && j < levels->count(); ++j) {
        if (levels->item(j)->isSelected())
            continue;
        levels->item(j)->setSelected(true);
        List3_Click();
    }
    BaseFontSize = 6;
    Command21_Click(0);
}

void seisekitime1::Command24_Click(int index)
{
    QListWidget *pupils = Picture11->List2;
    bool any = false;
    for (int i = 0; i < pupils->count(); ++i) {
        if (!pupils->item(i)->isSelected())
            continue;
        any = true;
        ShownPupil = PupilOfListLine(pupils->item(i)->text());
        Command21_Click(index);
    }
    if (!any)
        Command21_Click(index);
}

void seisekitime1::Command25_Click()
{
    Picture11->Command25->hide();
    Picture11->List2->show();
}

void seisekitime1::Command18_Click()
{
    Picture11->hide();
}

void seisekitime1::List2_Click()
{
    Command24_Click(0);
}

void seisekitime1::List3_Click()
{
    if (Picture11->isVisible())
        Command24_Click(0);
}

bool seisekitime1::beginPrint()
{
    m_print.reset(new PrintJob);
    const QString pupilName =
        ShownPupil >= 0 && ShownPupil <= core::kMaxStudent
            ? core::TrimSpaces(m_state.roster.StudentNames[std::size_t(ShownPupil)])
            : QString();
    const QString title = m_state.profile.ProgramTitle + u' ' + pupilName;
    if (m_state.services.printer)
        m_print->device = m_state.printer().beginDocument(title);
    m_print->onPrinter = m_print->device != nullptr;
    if (!m_print->device) {
        // No printer: the same pages can go to a PDF file instead.
        if (!m_state.dialogs().okCancel(
                this,
                QStringLiteral(
                    "プリンターが使えません。\n同じページを PDF ファイルに保存しますか？"),
                QStringLiteral("印刷"))) {
            m_print.reset();
            return false;
        }
        const QString path = m_state.dialogs().saveFileName(
            this, QStringLiteral("PDF ファイルに保存"), title + QStringLiteral(".pdf"),
            QStringLiteral("PDF (*.pdf)"));
        if (path.isEmpty()) {
            m_print.reset();
            return false;
        }
        m_print->file = std::make_unique<QSaveFile>(path);
        if (!m_print->file->open(QIODevice::WriteOnly)) {
            m_state.dialogs().message(
                this,
                QStringLiteral("ファイルに書けません（%1）").arg(m_print->file->errorString()),
                QStringLiteral("印刷"));
            m_print.reset();
            return false;
        }
        m_print->pdf = std::make_unique<QPdfWriter>(m_print->file.get());
        m_print->pdf->setResolution(600);
        m_print->pdf->setTitle(title);
        m_print->device = m_print->pdf.get();
    }
    m_print->device->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                               QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    if (!m_print->painter.begin(m_print->device)) {
        if (m_print->onPrinter)
            m_state.printer().endDocument();
        m_print.reset();
        m_state.dialogs().message(this, QStringLiteral("印刷を始められません。"),
                                  QStringLiteral("印刷"));
        return false;
    }
    m_print->size = SetTwipsWindow(m_print->painter, *m_print->device);
    return true;
}

void seisekitime1::endPrint()
{
    if (!m_print)
        return;
    bool done = m_print->painter.end();
    if (m_print->onPrinter) {
        done = m_state.printer().endDocument() && done;
    } else {
        m_print->pdf.reset();
        done = m_print->file->commit() && done;
    }
    m_print.reset();
    if (!done)
        m_state.dialogs().message(this, QStringLiteral("印刷できませんでした。"),
                                  QStringLiteral("印刷"));
}

void seisekitime1::Command21_Click(int index)
{
    // Events run between the blocks only when the drawing takes long.
    const platform::PacedEvents::Work work(m_events);
    GraphToPrinter = index == 1 ? 1 : 0;
    if (GraphToPrinter == 1 && !beginPrint())
        return;
    m_layout.move(Picture11, 120, 1740);
    if (GraphToPrinter == 0)
        Picture11->Picture12->Cls();
    const double h =
        GraphToPrinter == 1 ? m_print->size.height() : Picture11->Picture12->designSize().height();
    BlockTop = 0.05 * h - 0.3 * h;
    QListWidget *levels = Picture11->List3;
    for (int j = 1; j <= levels->count(); ++j) {
        if (!levels->item(j - 1)->isSelected())
            continue;
        BlockTop += 0.3 * h;
        if (BlockTop > 3 * (0.3 * h)) {
            if (GraphToPrinter == 1)
                m_print->device->newPage();
            else
                Picture11->Picture12->Cls();
            BlockTop = 0.05 * h;
        }
        GraphLevel = j;
        Command23_Click(0);
        Command23_Click(1);
        Command19_Click();
    }
    if (GraphToPrinter == 1)
        endPrint();
}

void seisekitime1::Command19_Click()
{
    const int level = GraphLevel;
    if (level < 1 || level > core::kMaxLevel)
        return;
    GraphBlockFigures figures;
    figures.timeRank = GraphTimeRank[std::size_t(level)];
    figures.pointsRank = GraphPointsRank[std::size_t(level)];
    figures.points = GraphPoints[std::size_t(level)];
    figures.schoolPointsSum = SchoolPointsSum[std::size_t(level)];
    figures.schoolPointsCount = SchoolPointsCount[std::size_t(level)];
    const GraphBlock block =
        ComputeGraphBlock(m_state, level, ShownPupil, Combo1->currentText(), figures);
    Picture11->show();
    Picture11->raise();
    m_events.letRun();
    if (GraphToPrinter == 1 && m_print)
        DrawGraphBlock(m_print->painter, GraphSurface{m_print->size, true, 6}, BlockTop, block);
    else
        Picture11->Picture12->addBlock(BlockTop, block, BaseFontSize);
}

void seisekitime1::Command22_Click()
{
    if (GraphKind == 0)
        GraphKind = 1;
    const int kind = GraphKind == 2 ? 2 : 1;
    m_graphRankings[std::size_t(kind)] = GraphRankingOf(
        m_state, GraphLevel, kind == 1 ? GraphRankingKind::Times : GraphRankingKind::Points,
        PointsOrder == 0 ? 1 : PointsOrder, Combo1->currentText());
    QListWidget *list = Picture11->List4[std::size_t(kind)];
    list->clear();
    list->addItems(m_graphRankings[std::size_t(kind)].lines);
}

void seisekitime1::Command23_Click(int index)
{
    const int level = GraphLevel;
    if (level < 1 || level > core::kMaxLevel)
        return;
    const auto at = std::size_t(level);
    if (index == 0) {
        GraphKind = 2;
        Command22_Click();
        const PointsFigures f = PointsFiguresOf(m_graphRankings[2], ShownPupil);
        SchoolPointsCount[at] = f.count;
        SchoolPointsSum[at] = f.sum;
        GraphPointsRank[at] = f.rank;
        GraphPoints[at] = f.points;
    } else {
        GraphKind = 1;
        Command22_Click();
        GraphTimeRank[at] = TimeRankOf(m_graphRankings[1], ShownPupil);
    }
}

} // namespace tavoro::menus
