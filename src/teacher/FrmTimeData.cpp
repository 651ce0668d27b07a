// The criteria editor window.
#include "FrmTimeData.h"


#include "core/AppState.h"
#include "core/Criteria.h"
#include "core/Screens.h"
#include "platform/Dialogs.h"
#include "platform/Events.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "records/GradeFile.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>

namespace tavoro::teacher {
namespace {

constexpr int kGridLeft = 210;
constexpr int kGridTop = 1770;
constexpr int kGridWidth = 7275;
constexpr int kGridHeight = 8655;
constexpr int kGridRows = 33; // rows the grid's height holds
const QColor kChanged(255, 255, 0);
const QColor kFixed(192, 192, 192);

} // namespace

FrmTimeData::FrmTimeData(core::AppState &state, QWidget *parent)
    : QWidget(parent), m_state(state), m_layout(this)
{
    setObjectName(QStringLiteral("FrmTimeData"));
    setWindowTitle(state.profile.ProgramTitle);
    setFont(ui::gothicFont(14));
    ui::setBackground(this, ui::vbColor(0xC0FFC0));
    resize(1024, 768);
    Form_Load();
}

QString FrmTimeData::ColumnExplanation(int col)
{
    switch (col) {
    case 1:
        return QStringLiteral(
            "合格基準タイム\n　大部分の人ががんばったら出せそうなタイムにしてください");
    case 2:
        return QStringLiteral("合格最低ラインタイム\n  この５倍が時間切れになります");
    case 3:
        return QStringLiteral("目標ポイント\n　　 目標ポイント");
    case 4:
        return QStringLiteral("目標回数\n　　 目標回数");
    case 5:
        return QStringLiteral("ポイント倍率\n  ポイントを何倍にして加算するか\n"
                              "  むずかしいレベルや生徒のいやがるレベルは高くしてください");
    case 6:
        return QStringLiteral("やりすぎ禁止回数\n  何回やったらやりすぎ禁止にするか\n  ");
    case 7:
        return QStringLiteral("やりすぎ禁止ポイント\n  何ポイントとったらやりすぎ禁止にするか\n ");
    case 8:
        return QStringLiteral("合格判定をする日数\n　何日前からのポイントを有効にするか");
    case 9:
        return QStringLiteral("やりすぎ判定をする日数\n　何日前からのポイントを有効にするか");
    default:
        return {};
    }
}

void FrmTimeData::Form_Load()
{
    Picture1 = new QFrame(this);
    Picture1->setAccessibleName(QStringLiteral("合格タイムデータ変更"));
    Picture1->setObjectName(QStringLiteral("Picture1"));
    ui::setBackground(Picture1, ui::vbColor(0xC0FFC0));
    m_layout.place(Picture1, 0, 0, 15405, 11220);
    Picture1->hide();

    Label4 = ui::newLabel(Picture1, QStringLiteral("Label4"));
    Label4->setAccessibleName(QStringLiteral("お知らせ"));
    m_layout.place(Label4, 240, 90, 14865, 705);
    Label5 = ui::newLabel(Picture1, QStringLiteral("Label5"),
                      QStringLiteral("成績の基準となるデータを変更できます"));
    m_layout.place(Label5, 450, 150, 14505, 435, 16, true);
    Label6 = ui::newLabel(Picture1, QStringLiteral("Label6"), QStringLiteral("列の説明"));
    m_layout.place(Label6, 240, 840, 2025, 495, 12, true);
    Label3 = ui::newLabel(Picture1, QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui::setBackground(Label3, ui::vbColor(0xFFFFFF));
    m_layout.place(Label3, 2280, 840, 12825, 975, 10);

    MSFlexGrid1 = new QTableWidget(Picture1);
    MSFlexGrid1->setAccessibleName(QStringLiteral("レベルごとの基準の表"));
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setColumnCount(kColumns);
    MSFlexGrid1->horizontalHeader()->hide();
    MSFlexGrid1->verticalHeader()->hide();
    MSFlexGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MSFlexGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    MSFlexGrid1->setFocusPolicy(Qt::NoFocus);
    MSFlexGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MSFlexGrid1->setTextElideMode(Qt::ElideNone);
    MSFlexGrid1->setWordWrap(false);
    m_layout.place(MSFlexGrid1, kGridLeft, kGridTop, kGridWidth, kGridHeight, 8);
    connect(MSFlexGrid1, &QTableWidget::cellClicked, this,
            [this](int row, int col) { MSFlexGrid1_Click(row, col); });

    Gridinputtext = new QLineEdit(Picture1);
    Gridinputtext->setAccessibleName(QStringLiteral("セルの入力"));
    Gridinputtext->setObjectName(QStringLiteral("Gridinputtext"));
    Gridinputtext->hide();
    Gridinputtext->installEventFilter(this);
    connect(Gridinputtext, &QLineEdit::textChanged, this, [this] { Gridinputtext_Change(); });

    Command2 = ui::newButton(Picture1, QStringLiteral("Command2"), QStringLiteral("元に戻す"));
    m_layout.place(Command2, 7590, 9750, 1515, 570, 11);
    connect(Command2, &QPushButton::clicked, this, &FrmTimeData::Command2_Click);
    Command3 = ui::newButton(Picture1, QStringLiteral("Command3"), QStringLiteral("更新記録"));
    m_layout.place(Command3, 9390, 9750, 1515, 570, 11);
    connect(Command3, &QPushButton::clicked, this, &FrmTimeData::Command3_Click);
    Command4 = ui::newButton(Picture1, QStringLiteral("Command4"), QStringLiteral("戻る"));
    m_layout.place(Command4, 11130, 9750, 1515, 570, 11);
    connect(Command4, &QPushButton::clicked, this, &FrmTimeData::Command4_Click);
    Label1 = ui::newLabel(Picture1, QStringLiteral("Label1"),
                      QStringLiteral("スペース：セルクリア　　Shift + ↓：セルコピー"));
    m_layout.place(Label1, 270, 10710, 14835, 225, 10);

    Picture3 = new QFrame(Picture1);
    Picture3->setAccessibleName(QStringLiteral("現在までの成績度数分布"));
    Picture3->setObjectName(QStringLiteral("Picture3"));
    m_layout.place(Picture3, 7530, 1830, 7635, 7485);
    Label7 = ui::newLabel(Picture3, QStringLiteral("Label7"), QStringLiteral("現在までの成績度数分布"));
    m_layout.place(Label7, 2220, 0, 3600, 330, 11, true);
    Label9 = ui::newLabel(Picture3, QStringLiteral("Label9"), QStringLiteral("全成績"));
    m_layout.place(Label9, 90, 360, 3000, 285, 10, true);
    List3 = new ui::ListBox(Picture3);
    List3->setAccessibleName(QStringLiteral("全成績"));
    List3->setObjectName(QStringLiteral("List3"));
    List3->setFocusPolicy(Qt::NoFocus);
    m_layout.place(List3, 60, 660, 3885, 6300, 9);
    Label10 = ui::newLabel(Picture3, QStringLiteral("Label10"), QStringLiteral("最高タイム"));
    m_layout.place(Label10, 4020, 360, 3000, 285, 10, true);
    List4 = new ui::ListBox(Picture3);
    List4->setAccessibleName(QStringLiteral("最高タイム"));
    List4->setObjectName(QStringLiteral("List4"));
    List4->setFocusPolicy(Qt::NoFocus);
    m_layout.place(List4, 3990, 660, 3495, 6300, 9);
    listFonts();

    Picture6 = new QFrame(this);
    Picture6->setObjectName(QStringLiteral("Picture6"));
    ui::setBackground(Picture6, ui::vbColor(0x808000));
    m_layout.place(Picture6, 0, 0, 15360, 11520);
    Label8 = ui::newLabel(Picture6, QStringLiteral("Label8"), QStringLiteral("Just a moment,please."));
    Label8->setAlignment(Qt::AlignCenter);
    ui::setForeground(Label8, Qt::white);
    m_layout.place(Label8, 0, 4800, 15360, 900, 24, true);
    Picture6->hide();

    ui::pressButtonsOnEnter(this);
}

void FrmTimeData::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout.apply();
    listFonts();
    layoutGrid();
}

void FrmTimeData::listFonts()
{
    // The band labels are right-aligned with spaces.
    const QFont f = ui::alignedListFont(m_layout.fontPixels(9));
    List3->setFont(f);
    List4->setFont(f);
}

void FrmTimeData::layoutGrid()
{
    if (MSFlexGrid1->rowCount() > 0) {
        const int width = MSFlexGrid1->viewport()->width();
        for (int c = 0; c < kColumns; ++c)
            MSFlexGrid1->setColumnWidth(c, width / kColumns);
        MSFlexGrid1->setColumnWidth(1, int(0.8 * (width / kColumns) + 0.5));
        for (int r = 0; r < MSFlexGrid1->rowCount(); ++r)
            MSFlexGrid1->setRowHeight(r, m_layout.px(double(kGridHeight) / kGridRows));
        if (Gridinputtext->isVisible())
            PlaceEditBox();
    }
}

void FrmTimeData::Form_Activate()
{
    Label4->clear();
    Picture1->show();
    loadGrid();
    Gridinputtext->show();
    layoutGrid();
    PlaceEditBox();
    Gridinputtext->setFocus();
    GridToText転送();
    Command7_Click();
}

QTableWidgetItem *FrmTimeData::cell(int row, int col)
{
    QTableWidgetItem *item = MSFlexGrid1->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        MSFlexGrid1->setItem(row, col, item);
    }
    return item;
}

void FrmTimeData::setCellText(int row, int col, const QString &text, bool changed)
{
    QTableWidgetItem *item = cell(row, col);
    if (changed && item->text() != text)
        item->setBackground(kChanged);
    item->setText(text);
}

void FrmTimeData::loadGrid()
{
    const platform::TextFileResult file = platform::readTextFile(core::CriteriaFilePath(m_state));
    if (!file.ok() && file.error != platform::FileError::NotFound)
        m_state.dialogs().message(
            this, QStringLiteral("基準データのファイルを読めません（%1）").arg(file.errorText),
            QStringLiteral("注意"));
    m_fileUnread = !file.ok();
    m_fileMissing = file.error == platform::FileError::NotFound;
    const std::vector<CriteriaRow> rows = ParseCriteriaGrid(file.text);

    MSFlexGrid1->clearContents();
    MSFlexGrid1->setRowCount(1 + int(rows.size()));
    const CriteriaRow headings = CriteriaHeadings();
    auto fixed = [this](int row, int col, const QString &text) {
        QTableWidgetItem *item = cell(row, col);
        item->setText(text);
        item->setBackground(kFixed);
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    };
    fixed(0, 0, QStringLiteral("レベル"));
    for (int c = 1; c < kColumns; ++c)
        fixed(0, c, headings[std::size_t(c - 1)]);
    for (int r = 1; r <= int(rows.size()); ++r) {
        fixed(r, 0, QString::number(r));
        for (int c = 1; c < kColumns; ++c)
            cell(r, c)->setText(rows[std::size_t(r - 1)][std::size_t(c - 1)]);
    }
    LevelLineCount = int(rows.size());
    DataChanged = 0;
    layoutGrid(); // rows added by a reload take the grid's row height too
    moveTo(LevelLineCount >= 1 ? 1 : 0, 1);
}

void FrmTimeData::moveTo(int row, int col)
{
    MSFlexGrid1->setCurrentCell(row, col, QItemSelectionModel::NoUpdate);
    m_selectionBottom = row;
    if (Gridinputtext->isVisible())
        PlaceEditBox();
    GridToText転送();
}

std::vector<CriteriaRow> FrmTimeData::gridRows() const
{
    std::vector<CriteriaRow> rows;
    for (int r = 1; r <= LevelLineCount; ++r) {
        CriteriaRow row;
        for (int c = 1; c < kColumns; ++c) {
            const QTableWidgetItem *item = MSFlexGrid1->item(r, c);
            row[std::size_t(c - 1)] = item ? item->text() : QString();
        }
        rows.push_back(row);
    }
    return rows;
}

void FrmTimeData::PlaceEditBox()
{
    const int row = MSFlexGrid1->currentRow();
    const int col = MSFlexGrid1->currentColumn();
    if (row >= 0 && col >= 0) {
        const QRect r = MSFlexGrid1->visualItemRect(cell(row, col));
        const QPoint at = MSFlexGrid1->geometry().topLeft() + MSFlexGrid1->viewport()->pos();
        Gridinputtext->setGeometry(QRect(at + r.topLeft(), r.size()));
        Gridinputtext->setFont(MSFlexGrid1->font());
        Gridinputtext->raise();
    }
    Gridinputtext->setFocus();
    Gridinputtext->setCursorPosition(std::min<int>(10, int(Gridinputtext->text().size())));
    Label3->setText(ColumnExplanation(col));
}

void FrmTimeData::GridToText転送()
{
    const int row = MSFlexGrid1->currentRow();
    const int col = MSFlexGrid1->currentColumn();
    const QTableWidgetItem *item = row >= 0 && col >= 0 ? MSFlexGrid1->item(row, col) : nullptr;
    Gridinputtext->setText(item ? item->text() : QString());
    platform::processPendingEvents();
    Gridinputtext->setCursorPosition(std::min<int>(10, int(Gridinputtext->text().size())));
}

void FrmTimeData::TextToGrid転送()
{
    const int row = MSFlexGrid1->currentRow();
    const int col = MSFlexGrid1->currentColumn();
    if (row < 1 || col < 1)
        return;
    QTableWidgetItem *item = cell(row, col);
    const QString text = Gridinputtext->text();
    if (text == item->text())
        return;
    const QString refusal = CriteriaCellRefusal(text, col);
    if (!refusal.isEmpty()) {
        // The cell keeps what it held; the box shows it again.
        m_state.dialogs().message(this, refusal, QStringLiteral("注意"));
        Gridinputtext->setText(item->text());
        return;
    }
    item->setBackground(kChanged);
    DataChanged = 1;
    item->setText(text);
}

void FrmTimeData::Gridinputtext_Change()
{
    TextToGrid転送();
}

bool FrmTimeData::Gridinputtext_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Escape)
        return true;
    const int row = MSFlexGrid1->currentRow();
    const int col = MSFlexGrid1->currentColumn();
    const int last = MSFlexGrid1->rowCount() - 1;
    bool suppressed = true;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        break;
    case Qt::Key_Up:
        if (row > 1)
            moveTo(row - 1, col);
        break;
    case Qt::Key_Down:
        if (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
            if (m_selectionBottom < last) {
                ++m_selectionBottom;
                for (int r = row; r <= m_selectionBottom; ++r)
                    setCellText(r, col, Gridinputtext->text(), true);
                DataChanged = 1;
            }
        } else if (row < last) {
            moveTo(row + 1, col);
        }
        break;
    case Qt::Key_Left:
        if (col > 1)
            moveTo(row, col - 1);
        break;
    case Qt::Key_Right:
        if (col < kColumns - 1)
            moveTo(row, col + 1);
        break;
    default:
        suppressed = false;
    }
    Command7_Click();
    GridToText転送();
    return suppressed;
}

bool FrmTimeData::Gridinputtext_KeyPress(QChar c)
{
    if (c != u' ')
        return false;
    Gridinputtext->clear();
    return true;
}

bool FrmTimeData::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Gridinputtext && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (Gridinputtext_KeyDown(key->key(), key->modifiers()))
            return true;
        if (!key->text().isEmpty() && Gridinputtext_KeyPress(key->text().at(0)))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FrmTimeData::MSFlexGrid1_Click(int row, int col)
{
    if (row < 1 || col < 1)
        return; // the heading row and the level column are fixed
    MSFlexGrid1->setCurrentCell(row, col, QItemSelectionModel::NoUpdate);
    m_selectionBottom = row;
    PlaceEditBox();
    Command7_Click();
    GridToText転送();
}

void FrmTimeData::Command7_Click()
{
    const QString path = records::GradeFilePath(m_state.settings);
    const QFileInfo info(platform::localPath(path));
    const qint64 size = info.exists() ? info.size() : -1;
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    // A key press recomputes the distribution; the grade file (44 MB after some years) is
    // read again only when it has changed since it was last read. Reading and counting
    // 1,000,000 records takes some 250 ms, far over the 100 ms a key may take; with the
    // file unchanged a key press takes 7 ms (scripts/bench).
    if (!m_haveDistributions || size != m_gradeSize || modified != m_gradeModified) {
        const platform::FileBytesResult file = platform::readFileBytes(path);
        m_distributions = ComputeTimeDistributions(file.ok() ? file.bytes : QByteArray());
        m_haveDistributions = true;
        m_gradeSize = size;
        m_gradeModified = modified;
        ++m_gradeFileReads;
    }
    DistributionLevel = MSFlexGrid1->currentRow();
    List3->setRows(AllTimesLines(m_distributions, DistributionLevel));
    List4->setRows(BestTimesLines(m_distributions, DistributionLevel));
}

bool FrmTimeData::save()
{
    // A file that could not be read is not written over unasked: the grid does not hold
    // what it held.
    if (m_fileUnread) {
        const QString path = platform::localPath(core::CriteriaFilePath(m_state));
        const QString question =
            m_fileMissing
                ? QStringLiteral("基準データのファイルがありません。\r\n%1\r\n"
                                 "この表の内容で新しく作りますか？")
                      .arg(path)
                : QStringLiteral("基準データのファイルを読めなかったため、表にはその内容が"
                                 "入っていません。\r\n%1\r\n"
                                 "この表の内容でファイルを書き換えますか？")
                      .arg(path);
        if (!m_state.dialogs().yesNo(this, question, QStringLiteral("注意")))
            return false;
    }
    Picture6->show();
    Picture6->raise();
    platform::processPendingEvents();
    QString error;
    const bool written = WriteCriteriaFile(m_state, gridRows(), &error);
    Picture6->hide();
    if (!written) {
        m_state.dialogs().message(
            this, QStringLiteral("基準データを記録できませんでした（%1）").arg(error),
            QStringLiteral("注意"));
        return false;
    }
    DataChanged = 0;
    m_fileUnread = false;
    if (const auto problem = core::LoadCriteria(m_state))
        m_state.dialogs().message(this, *problem, QStringLiteral("注意"));
    return true;
}

void FrmTimeData::Command3_Click()
{
    save();
    Gridinputtext->setFocus();
}

void FrmTimeData::Command2_Click()
{
    loadGrid();
    PlaceEditBox();
    Command7_Click();
}

void FrmTimeData::Command4_Click()
{
    if (DataChanged == 1 &&
        m_state.dialogs().yesNo(this, QStringLiteral("データが変更されています。記録しますか？"),
                                QStringLiteral("注意"))) {
        if (!save())
            return; // the edits are not dropped when they could not be written
    }
    Picture6->show();
    Picture6->raise();
    if (m_state.screens) {
        m_state.screens->showLevelMenu();
        m_state.screens->closeCriteriaEditor();
    }
}

} // namespace tavoro::teacher
