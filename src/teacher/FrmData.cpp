// The record browser window.
#include "FrmData.h"


#include "core/AppState.h"
#include "core/FieldRanges.h"
#include "core/Screens.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Events.h"
#include "platform/Numbers.h"
#include "platform/TextFile.h"
#include "records/RosterFile.h"
#include "ui/ListBox.h"

#include <QItemSelectionModel>

#include <cmath>

namespace tavoro::teacher {
namespace {

const QString kCaution = QStringLiteral("注意");

// A whole number written in the text, within min..max; none otherwise.
std::optional<int> wholeNumber(const QString &text, int min, int max)
{
    bool ok = false;
    const double v = platform::parseNumber(text, &ok);
    if (!ok || v != std::floor(v) || v < min || v > max)
        return std::nullopt;
    return int(v);
}

// A number written in the text, to the nearest whole number (halves to the even one, as
// a time is stored in a record), within min..max; none otherwise.
std::optional<int> roundedNumber(const QString &text, int min, int max)
{
    bool ok = false;
    const double v = platform::parseNumber(text, &ok);
    // Far outside every range (and never a NaN) before it is rounded into an integer.
    if (!ok || !(v > -1e9 && v < 1e9))
        return std::nullopt;
    const long long whole = platform::roundHalfEven(v);
    if (whole < min || whole > max)
        return std::nullopt;
    return int(whole);
}

} // namespace

FrmData::FrmData(core::AppState &state, QWidget *parent)
    : QWidget(parent), m_state(state), m_layout(this)
{
    setObjectName(QStringLiteral("FrmData"));
    setWindowTitle(state.profile.ProgramTitle);
    setFont(ui::gothicFont(14));
    ui::setBackground(this, ui::vbColor(0xC0FFC0));
    resize(1024, 768);
    Form_Load();
}

void FrmData::Form_Load()
{
    DateFilter = QStringLiteral("すべて");

    Label5 = ui::newLabel(this, QStringLiteral("Label5"),
                      QStringLiteral("ダブルクリックすると変更、消去できます"));
    m_layout.place(Label5, 240, 150, 9600, 405, 12, true);
    List1 = new QListView(this);
    List1->setAccessibleName(QStringLiteral("成績の記録"));
    List1->setObjectName(QStringLiteral("List1"));
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui::setBackground(List1, Qt::white);
    m_model = new GradeListModel(this);
    List1->setModel(m_model);
    m_layout.place(List1, 240, 600, 10080, 10560);
    connect(List1, &QListView::clicked, this,
            [this](const QModelIndex &index) { List1_Click(index.row()); });
    // A row chosen with the keys closes the panel as a click does: the panel never shows
    // one record while another row is highlighted.
    ui::ClickOnKeys(List1, [this](int row) { List1_Click(row); });
    connect(List1, &QListView::doubleClicked, this,
            [this](const QModelIndex &index) { List1_DblClick(index.row()); });

    Picture3 = new QFrame(this);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setFrameShape(QFrame::Box);
    ui::setBackground(Picture3, ui::vbColor(0xFFFFC0));
    m_layout.place(Picture3, 10560, 600, 4560, 5400);
    Label1 = ui::newLabel(Picture3, QStringLiteral("Label1"));
    m_layout.place(Label1, 120, 120, 2000, 360, 12, true);
    Label2[1] = ui::newLabel(Picture3, QStringLiteral("Label2_1"));
    m_layout.place(Label2[1], 2160, 120, 2200, 360, 12, true);
    Label2[2] = ui::newLabel(Picture3, QStringLiteral("Label2_2"));
    m_layout.place(Label2[2], 120, 540, 2600, 360, 11);
    Label2[4] = ui::newLabel(Picture3, QStringLiteral("Label2_4"));
    m_layout.place(Label2[4], 2760, 540, 1600, 360, 11);
    Text1[1] = new QLineEdit(Picture3);
    Text1[1]->setObjectName(QStringLiteral("Text1_1"));
    m_layout.place(Text1[1], 120, 1020, 1500, 420, 12);
    VScroll1 = new QScrollBar(Qt::Vertical, Picture3);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setRange(0, kScrollMaximum);
    m_layout.place(VScroll1, 1650, 960, 300, 540);
    connect(VScroll1, &QScrollBar::valueChanged, this, [this](int) { VScroll1_Change(); });
    Label2[0] = ui::newLabel(Picture3, QStringLiteral("Label2_0"), QStringLiteral("秒"));
    m_layout.place(Label2[0], 2040, 1020, 600, 420, 12);
    Combo1 = new QComboBox(Picture3);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    m_layout.place(Combo1, 120, 1680, 4200, 420, 11);
    connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });
    Command2 = ui::newButton(Picture3, QStringLiteral("Command2"), QStringLiteral("変更して記録"));
    m_layout.place(Command2, 120, 2400, 2040, 600, 11);
    connect(Command2, &QPushButton::clicked, this, &FrmData::Command2_Click);
    Command3 = ui::newButton(Picture3, QStringLiteral("Command3"), QStringLiteral("消去"));
    m_layout.place(Command3, 2280, 2400, 2040, 600, 11);
    connect(Command3, &QPushButton::clicked, this, &FrmData::Command3_Click);
    Command6 = ui::newButton(Picture3, QStringLiteral("Command6"), QStringLiteral("キャンセル"));
    m_layout.place(Command6, 1200, 3240, 2040, 600, 11);
    connect(Command6, &QPushButton::clicked, this, &FrmData::Command6_Click);
    Picture3->hide();

    WaitNotice = ui::newLabel(this, QStringLiteral("WaitNotice"),
                          QStringLiteral("ほかのパソコンが成績を記録しています。お待ちください。"));
    WaitNotice->setWordWrap(true);
    ui::setBackground(WaitNotice, ui::vbColor(0x00FFFF));
    m_layout.place(WaitNotice, 10560, 6240, 4560, 900, 11, true);
    WaitNotice->hide();

    Picture10 = new QFrame(this);
    Picture10->setAccessibleName(QStringLiteral("戻る"));
    Picture10->setObjectName(QStringLiteral("Picture10"));
    m_layout.place(Picture10, 10560, 9960, 4560, 1200);
    Command4 = ui::newButton(Picture10, QStringLiteral("Command4"), QStringLiteral("戻る"));
    m_layout.place(Command4, 1200, 180, 2040, 840, 14, true);
    connect(Command4, &QPushButton::clicked, this, &FrmData::Command4_Click);

    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    ui::setBackground(Picture1, ui::vbColor(0x808000));
    m_layout.place(Picture1, 0, 0, 15360, 11520);
    Picture1->hide();

    ui::pressButtonsOnEnter(this);
    List1->show();
    Command1_Click();
}

void FrmData::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout.apply();
    List1->setFont(ui::alignedListFont(m_layout.fontPixels(11)));
}

void FrmData::Form_Activate()
{
    if (!records::RewriteInterrupted(m_state.settings))
        return;
    // Every writer of the grade file puts an interrupted change back before it writes; the
    // browser does so at once, so that the list shows the records as they were.
    const RewriteResult result = records::RestoreGradeTempCopy(
        m_state, [this](bool waiting) { showWaitNotice(waiting); });
    if (result.outcome != RewriteOutcome::Written)
        m_state.dialogs().message(
            this,
            QStringLiteral("前回の成績データの書き換えが途中で終わっています。"
                           "書き換える前のデータに戻せませんでした（%1）")
                .arg(result.error),
            kCaution);
    else if (result.putBack)
        m_state.dialogs().message(
            this,
            QStringLiteral("前回の成績データの書き換えが途中で終わっていたので、"
                           "書き換える前のデータ（成績累積データtemp.dat）に戻しました。"),
            kCaution);
    Command1_Click();
}

void FrmData::Command1_Click()
{
    core::AppState &s = m_state;
    records::RosterFile roster;
    roster.load(records::RosterFile::path(s.settings));
    const platform::FileBytesResult file =
        platform::readFileBytes(records::GradeFilePath(s.settings));
    if (!file.ok() && file.error != platform::FileError::NotFound)
        s.dialogs().message(
            this, QStringLiteral("成績ファイルを読めません（%1）").arg(file.errorText), kCaution);
    m_model->reset(
        file.ok() ? file.bytes : QByteArray(),
        MakeBrowserRoster(roster.lines(), s.clock().today(), s.settings.SchoolYearStartMonth),
        s.settings);
    Combo1->clear();
    Combo1->addItems(m_model->roster().pupils);
    Picture3->hide();
    m_shownRow = -1;
}

int FrmData::currentRow() const
{
    const QModelIndex index = List1->currentIndex();
    return index.isValid() ? index.row() : -1;
}

void FrmData::selectRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row);
    List1->setCurrentIndex(index);
    List1->scrollTo(index);
    List1_Click(row);
}

void FrmData::List1_Click(int)
{
    Picture3->hide();
}

void FrmData::List1_DblClick(int row)
{
    if (DateFilter != QStringLiteral("すべて") || row < 0 || row >= m_model->rowCount())
        return;
    SelectedRecord = m_model->recordNumber(row);
    m_shownRow = row;
    m_shown = m_model->record(row);
    Label1->setText(QString::number(SelectedRecord));
    Command2->setEnabled(true);
    Command3->setEnabled(true);
    const BrowserRoster &roster = m_model->roster();
    const bool known = m_shown.RecStudent >= 0 && m_shown.RecStudent <= core::kMaxStudent;
    Label2[1]->setText(QStringLiteral("ﾚﾍﾞﾙ") + QString::number(m_shown.RecLevel));
    Label2[2]->setText(RecordDateText(m_shown));
    Label2[4]->setText(known ? roster.gradeCodes[std::size_t(m_shown.RecStudent)].trimmed()
                             : QString());
    Text1[1]->setText(QString::number(m_shown.RecSeconds));
    {
        // A time beyond the scroll bar's range (99999 after a time-out) opens all the same:
        // the bar stops at its end and the box keeps the true value.
        const QSignalBlocker block(VScroll1);
        VScroll1->setValue(std::clamp<int>(m_shown.RecSeconds, 0, kScrollMaximum));
    }
    Combo1->setEditText(QString::number(m_shown.RecStudent) + QStringLiteral(" /  ") +
                        (known ? roster.names[std::size_t(m_shown.RecStudent)] : QString()));
    Picture3->show();
    Picture3->raise();
}

void FrmData::VScroll1_Change()
{
    Text1[1]->setText(QString::number(VScroll1->value()));
}

void FrmData::Combo1_Click()
{
    const auto pupil = wholeNumber(PupilNumberPart(Combo1->currentText()), 0, core::kMaxStudent);
    Label2[4]->setText(pupil ? m_model->roster().gradeCodes[std::size_t(*pupil)].trimmed()
                             : QString());
}

void FrmData::showWaitNotice(bool waiting)
{
    WaitNotice->setVisible(waiting);
    if (waiting)
        WaitNotice->raise();
}

bool FrmData::handleOutcome(const RewriteResult &result)
{
    switch (result.outcome) {
    case RewriteOutcome::Written:
        m_backedUp = true;
        return true;
    case RewriteOutcome::Stale:
        m_state.dialogs().message(
            this,
            QStringLiteral("ほかのパソコンで成績データが変わったため、一覧が変わっています。"
                           "一覧を読み直しましたので、もう一度選んでください。"),
            kCaution);
        Command1_Click();
        return false;
    case RewriteOutcome::Failed:
        m_state.dialogs().message(
            this,
            QStringLiteral("成績データを書き換えられませんでした（%1）。記録は変わっていません。")
                .arg(result.error),
            kCaution);
        Command1_Click();
        return false;
    }
    return false;
}

void FrmData::Command2_Click()
{
    if (m_shownRow < 0)
        return;
    const auto seconds = roundedNumber(Text1[1]->text(), 0, core::kMaxRecordSeconds);
    if (!seconds) {
        m_state.dialogs().message(
            this, QStringLiteral("タイムは 0 から 99999 までの数で入れてください"), kCaution);
        return;
    }
    const auto pupil = wholeNumber(PupilNumberPart(Combo1->currentText()), 1, core::kMaxStudent);
    if (!pupil) {
        m_state.dialogs().message(
            this, QStringLiteral("生徒番号は 1 から 5000 までの数で入れてください"), kCaution);
        return;
    }
    records::GradeRecord changed = m_shown;
    changed.RecSeconds = *seconds;
    changed.RecStudent = std::int16_t(*pupil);
    const std::int64_t n = SelectedRecord;
    const RewriteResult result =
        records::ChangeGradeRecord(m_state, n, m_shown, changed, !m_backedUp,
                          [this](bool waiting) { showWaitNotice(waiting); });
    if (!handleOutcome(result))
        return;
    Command1_Click();
    // The changed record keeps its place (other PCs only append).
    selectRow(m_model->rowOfRecord(n));
}

void FrmData::Command3_Click()
{
    if (m_shownRow < 0)
        return;
    if (!m_state.dialogs().okCancel(this, QStringLiteral("本当に消去しますか"), kCaution))
        return;
    const int row = m_shownRow;
    const RewriteResult result =
        records::DeleteGradeRecord(m_state, SelectedRecord, m_shown, !m_backedUp,
                          [this](bool waiting) { showWaitNotice(waiting); });
    if (!handleOutcome(result))
        return;
    Command1_Click();
    // The record that followed the deleted one, or the new last row.
    selectRow(row < m_model->rowCount() ? row : m_model->rowCount() - 1);
}

void FrmData::Command6_Click()
{
    // No action of its own: the panel closes on the next click into the list.
}

void FrmData::Command4_Click()
{
    Picture1->show();
    Picture1->raise();
    if (m_state.screens) {
        m_state.screens->showLevelMenu();
        m_state.screens->closeRecordBrowser();
    }
}

} // namespace tavoro::teacher
