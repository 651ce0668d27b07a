// The drill window MainFrm.
#include "MainFrm.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "core/Screens.h"
#include "core/SoundCues.h"
#include "drill/DrillLogic.h"
#include "platform/Clock.h"
#include "platform/Events.h"
#include "platform/Random.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPointer>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace tavoro::drill {
namespace {

// The window is designed at 15360 x 11520 twips; the status panel takes the top 1680,
// the work area the rest.
constexpr int kDesignWidth = 15360;
constexpr int kDesignHeight = 11520;
constexpr int kStatusHeight = 1680;
constexpr int kWorkHeight = kDesignHeight - kStatusHeight;

// The template Label1(0) of the panel.
constexpr int kCellLeft = 1485;
constexpr int kCellTop = 1575;
constexpr int kCellWidth = 1005;
constexpr int kCellHeight = 825;
constexpr double kCellFontPoints = 36;

// The time bar and the lamps of the status panel.
constexpr int kBarLeft = 120;
constexpr int kBarTop = 1200;
constexpr int kLampTop = 1440;
constexpr int kLampWidth = 255;
constexpr int kLampHeight = 135;
constexpr int kLampPitch = 300;

constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kWhite = 0xFFFFFF;


// The largest Gothic font up to `maxPixels` whose drawing of `text` stays inside `box`
// (less `margin` pixels on each side), as a label centres it vertically.
QFont fittedFont(int maxPixels, bool bold, const QString &text, QSize box, int margin = 0)
{
    const int width = box.width() - 2 * margin;
    const int height = box.height();
    for (int px = std::max(1, maxPixels); px > 6; --px) {
        const QFont font = ui::gothicFont(px, bold);
        const QFontMetrics fm(font);
        if (text.isEmpty())
            return font;
        if (fm.horizontalAdvance(text) > width)
            continue;
        const QRect ink = fm.tightBoundingRect(text);
        const int baseline = (height - fm.height()) / 2 + fm.ascent();
        if (baseline + ink.top() < 0 || baseline + ink.bottom() > height)
            continue;
        return font;
    }
    return ui::gothicFont(6, bold);
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text = {},
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(align);
    return label;
}

QFrame *makeBox(QWidget *parent, const QString &name, std::uint32_t bgr)
{
    auto *box = new QFrame(parent);
    box->setObjectName(name);
    ui::setBackground(box, ui::vbColor(bgr));
    return box;
}

} // namespace

MainFrm::MainFrm(core::AppState &state, QWidget *parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("MainFrm"));
    setWindowTitle(QStringLiteral("Velmora"));
    resize(1024, 768);

    createStatusPanel();
    createWorkArea();
    createNotice();

    sTimer1 = new QTimer(this);
    sTimer1->setObjectName(QStringLiteral("sTimer1"));
    sTimer1->setInterval(1000);
    connect(sTimer1, &QTimer::timeout, this, &MainFrm::sTimer1_Timer);
    sTimer2 = new QTimer(this);
    sTimer2->setObjectName(QStringLiteral("sTimer2"));
    sTimer2->setInterval(10000);
    connect(sTimer2, &QTimer::timeout, this, &MainFrm::sTimer2_Timer);

    ui::pressButtonsOnEnter(this);
    // The window itself takes the keys of the panel, whose cells take no focus of their own.
    setFocusPolicy(Qt::StrongFocus);
    Form_Load();
    sTimer2->start();
}

MainFrm::~MainFrm()
{
    // The areas go first, while the layouts that know their controls still exist.
    delete sPicture2;
    delete Picture2;
    delete sPicture1;
}

QRect MainFrm::designRect(QWidget *control) const
{
    for (const auto &layout : {&m_statusLayout, &m_workLayout, &m_noticeLayout}) {
        const QRect r = (*layout)->designRect(control);
        if (!r.isNull())
            return r;
    }
    return {};
}

// ---- Construction ---------------------------------------------------------------------

void MainFrm::createStatusPanel()
{
    sPicture1 = new QWidget(this);
    sPicture1->setObjectName(QStringLiteral("sPicture1"));
    {
        // The panel's background picture: a soft sky gradient.
        QLinearGradient sky(0, 0, 0, 1);
        sky.setCoordinateMode(QGradient::ObjectBoundingMode);
        sky.setColorAt(0, QColor(0xdf, 0xee, 0xfb));
        sky.setColorAt(1, QColor(0xb5, 0xd6, 0xf2));
        QPalette pal = sPicture1->palette();
        pal.setBrush(QPalette::Window, QBrush(sky));
        sPicture1->setPalette(pal);
        sPicture1->setAutoFillBackground(true);
    }
    m_statusLayout = std::make_unique<ui::TwipsLayout>(sPicture1, kDesignWidth, kStatusHeight);
    auto &L = *m_statusLayout;
    const auto center = Qt::AlignCenter;
    const auto right = Qt::AlignRight | Qt::AlignVCenter;

    // First line: title band, school, pupil, level.
    sLabel1 = makeLabel(sPicture1, QStringLiteral("sLabel1"));
    ui::setBackground(sLabel1, ui::vbColor(0x804000));
    sLabel2 = makeLabel(sPicture1, QStringLiteral("sLabel2"), {}, center);
    ui::setForeground(sLabel2, Qt::white);
    sLabel14 = makeLabel(sPicture1, QStringLiteral("sLabel14"));
    sLabel7 = makeLabel(sPicture1, QStringLiteral("sLabel7"));
    sLabel3 = makeLabel(sPicture1, QStringLiteral("sLabel3"), QStringLiteral("レベル"), right);
    sLabel8 = makeLabel(sPicture1, QStringLiteral("sLabel8"));
    L.place(sLabel1, 0, 0, 3000, 660);
    sLabel1->setAccessibleName(QStringLiteral("題名の帯"));
    L.place(sLabel2, 120, 60, 2760, 540, 16.8, true);
    L.place(sLabel14, 3180, 90, 3900, 480, 12);
    L.place(sLabel7, 7200, 60, 3900, 540, 16, true);
    L.place(sLabel3, 11160, 90, 960, 480, 12);
    L.place(sLabel8, 12180, 60, 3060, 540, 16, true);

    // Second line: problems left, seconds, minutes since login, run numbers.
    remainCaption = makeLabel(sPicture1, QStringLiteral("remainCaption"), QStringLiteral("残り"));
    sLabel9 = makeLabel(sPicture1, QStringLiteral("sLabel9"), {}, right);
    problemsCaption = makeLabel(sPicture1, QStringLiteral("problemsCaption"), QStringLiteral("問"));
    timeCaption = makeLabel(sPicture1, QStringLiteral("timeCaption"), QStringLiteral("タイム"));
    sLabel10 = makeLabel(sPicture1, QStringLiteral("sLabel10"), {}, right);
    static const char16_t *const fixed[6] = {u"起動後", u"分",         u"本日",
                                             u"回目",   u"このレベル", u"回目"};
    for (int i = 0; i < 6; ++i)
        sLabel16[i] = makeLabel(sPicture1, QStringLiteral("sLabel16_%1").arg(i),
                                QString::fromUtf16(fixed[i]));
    sLabel13 = makeLabel(sPicture1, QStringLiteral("sLabel13"), {}, right);
    sLabel12 = makeLabel(sPicture1, QStringLiteral("sLabel12"), {}, right);
    sLabel11 = makeLabel(sPicture1, QStringLiteral("sLabel11"), {}, right);
    const int top2 = 660, h2 = 480;
    L.place(remainCaption, 120, top2, 600, h2, 12);
    L.place(sLabel9, 720, top2, 660, h2, 16, true);
    L.place(problemsCaption, 1440, top2, 420, h2, 12);
    L.place(timeCaption, 2160, top2, 900, h2, 12);
    L.place(sLabel10, 3060, top2, 960, h2, 16, true);
    L.place(sLabel16[0], 4500, top2, 900, h2, 12);
    L.place(sLabel13, 5400, top2, 720, h2, 16, true);
    L.place(sLabel16[1], 6180, top2, 420, h2, 12);
    L.place(sLabel16[2], 6900, top2, 600, h2, 12);
    L.place(sLabel12, 7500, top2, 720, h2, 16, true);
    L.place(sLabel16[3], 8280, top2, 600, h2, 12);
    L.place(sLabel16[4], 9180, top2, 1320, h2, 12);
    L.place(sLabel11, 10500, top2, 720, h2, 16, true);
    L.place(sLabel16[5], 11280, top2, 600, h2, 12);

    // The time bar: track, pass line, target and elapsed laid over each other.
    sShape5 = makeBox(sPicture1, QStringLiteral("sShape5"), 0xFFFFFF);
    sShape4 = makeBox(sPicture1, QStringLiteral("sShape4"), 0x80FF80);
    sShape3 = makeBox(sPicture1, QStringLiteral("sShape3"), 0x00FF00);
    sShape2 = makeBox(sPicture1, QStringLiteral("sShape2"), 0xFF0000);
    sShape7 = makeBox(sPicture1, QStringLiteral("sShape7"), 0x0000FF);
    sShape5->setAccessibleName(QStringLiteral("タイム"));
    sShape4->setAccessibleName(QStringLiteral("合格最低ライン"));
    sShape3->setAccessibleName(QStringLiteral("目標タイム"));
    sShape2->setAccessibleName(QStringLiteral("経過時間"));
    sShape7->setAccessibleName(QStringLiteral("時間切れ"));
    L.place(sShape5, kBarLeft, kBarTop, kTimeBarTrackWidth, kTimeBarHeight);
    for (QFrame *shape : {sShape4, sShape3, sShape2, sShape7})
        L.place(shape, kBarLeft, kBarTop, 0, kTimeBarHeight);

    // The countdown lamps in one line, each row after its caption.
    bestCaption = makeLabel(sPicture1, QStringLiteral("bestCaption"), QStringLiteral("Best"));
    yourBestCaption =
        makeLabel(sPicture1, QStringLiteral("yourBestCaption"), QStringLiteral("YourBest"));
    passCaption = makeLabel(sPicture1, QStringLiteral("passCaption"), QStringLiteral("Pass"));
    const int rowLeft[3] = {780, 4920, 8760};
    L.place(bestCaption, 120, 1350, 620, 315, 9);
    L.place(yourBestCaption, 3900, 1350, 980, 315, 9);
    L.place(passCaption, 8100, 1350, 620, 315, 9);
    static const std::uint32_t lampColor[3] = {0x008000, 0x00C0C0, 0x0000C0};
    static const char *const rowName[3] = {"Best", "YourBest", "Pass"};
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; i < 10; ++i) {
            const int k = kFirstLamp + 10 * row + i;
            sPicture3[k] =
                makeBox(sPicture1, QStringLiteral("sPicture3_%1").arg(k), lampColor[row]);
            sPicture3[k]->setAccessibleName(
                QStringLiteral("%1 %2").arg(QString::fromLatin1(rowName[row])).arg(i + 1));
            L.place(sPicture3[k], rowLeft[row] + kLampPitch * i, kLampTop, kLampWidth, kLampHeight);
        }
    }
}

void MainFrm::createWorkArea()
{
    Picture2 = new QWidget(this);
    Picture2->setAccessibleName(QStringLiteral("問題"));
    Picture2->setObjectName(QStringLiteral("Picture2"));
    ui::setBackground(Picture2, ui::vbColor(0xF2F8FC));
    m_workLayout = std::make_unique<ui::TwipsLayout>(Picture2, kDesignWidth, kWorkHeight);
    auto &L = *m_workLayout;

    Label2 = makeLabel(Picture2, QStringLiteral("Label2"), {}, Qt::AlignCenter);
    ui::setBackground(Label2, ui::vbColor(0xC0FFFF));
    Label2->setFrameShape(QFrame::Box);
    Label3 = makeLabel(Picture2, QStringLiteral("Label3"), InstructionText());
    L.place(Label2, 2430, 90, 3165, 780);
    L.place(Label3, 5670, 495, 7215, 420);

    Picture1 = new QWidget(Picture2);
    Picture1->setAccessibleName(HintCaption());
    Picture1->setObjectName(QStringLiteral("Picture1"));
    ui::setBackground(Picture1, ui::vbColor(0x80FFFF));
    L.place(Picture1, 1485, 900, 11715, 645);
    Label4 = makeLabel(Picture1, QStringLiteral("Label4"), HintCaption(), Qt::AlignCenter);
    L.place(Label4, 150, 45, 1800, 510, 18, true);
    static const int answerLeft[6] = {0, 2115, 4117, 6119, 8121, 10125};
    for (int k = 1; k <= 5; ++k) {
        Label5[k] = makeLabel(Picture1, QStringLiteral("Label5_%1").arg(k), {}, Qt::AlignCenter);
        ui::setBackground(Label5[k], ui::vbColor(kWhite));
        Label5[k]->setFrameShape(QFrame::Box);
        L.place(Label5[k], answerLeft[k], 45, 960, 510, 24, true);
        Label5[k]->hide();
    }
    Picture1->hide();
    Picture1->raise();

    Label1[0] = new ui::ClickableLabel(Picture2);
    Label1[0]->setObjectName(QStringLiteral("Label1_0"));
    Label1[0]->setAlignment(Qt::AlignCenter);
    Label1[0]->setFrameShape(QFrame::Box);
    ui::setBackground(Label1[0], ui::vbColor(0xC0FFFF));
    L.place(Label1[0], kCellLeft, kCellTop, kCellWidth, kCellHeight);
    Label1[0]->hide();

    List1 = new QListWidget(Picture2);
    List1->setObjectName(QStringLiteral("List1"));
    List1->hide();
    Command1 = new QPushButton(QStringLiteral("判定"), Picture2);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->hide();
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void MainFrm::createNotice()
{
    sPicture2 = new QWidget(this);
    sPicture2->setAccessibleName(RecordingText());
    sPicture2->setObjectName(QStringLiteral("sPicture2"));
    ui::setBackground(sPicture2, ui::vbColor(0xC0C000));
    m_noticeLayout = std::make_unique<ui::TwipsLayout>(sPicture2, kDesignWidth, kDesignHeight);
    lblsss2 = makeLabel(sPicture2, QStringLiteral("lblsss2"), TimeUpText(), Qt::AlignCenter);
    ui::setBackground(lblsss2, ui::vbColor(kWhite));
    ui::setForeground(lblsss2, ui::vbColor(0x0000FF));
    lblsss1 = makeLabel(sPicture2, QStringLiteral("lblsss1"), RecordingText(), Qt::AlignCenter);
    ui::setForeground(lblsss1, Qt::white);
    m_noticeLayout->place(lblsss2, 3180, 3600, 9000, 1500, 60, true);
    m_noticeLayout->place(lblsss1, 480, 5400, 14400, 1200, 36, true);
    lblsss1->hide();
    lblsss2->hide();
    sPicture2->hide();
}

// Lays the three areas over the window: the status panel across the top at the height its
// twips take at the window's scale, the work area below it, the notice over everything.
void MainFrm::relayout()
{
    const double scale = std::min(double(width()) / kDesignWidth, double(height()) / kDesignHeight);
    const int statusHeight = int(std::lround(kStatusHeight * scale));
    sPicture1->setGeometry(0, 0, width(), statusHeight);
    Picture2->setGeometry(0, statusHeight, width(), height() - statusHeight);
    sPicture2->setGeometry(rect());
    m_statusLayout->apply();
    m_workLayout->apply();
    m_noticeLayout->apply();
    fitTexts();
}

// Labels whose texts might not fit their twips at the chosen size get the largest font that
// does: the panel's numbers (36 points would not fit "100" in a cell), the instruction
// (its 23 full-width characters at 18 points are wider than the label), N, the names.
void MainFrm::fitTexts()
{
    const auto &W = *m_workLayout;
    const auto &S = *m_statusLayout;
    if (Label1[1]) {
        const QFont cellFont = fittedFont(W.fontPixels(kCellFontPoints), true,
                                          QStringLiteral("100"), Label1[1]->size(), 3);
        for (int k = 1; k <= 100; ++k)
            Label1[k]->setFont(cellFont);
    }
    Label2->setFont(fittedFont(W.fontPixels(36), true, QStringLiteral("50"), Label2->size(), 4));
    Label3->setFont(fittedFont(W.fontPixels(18), false, Label3->text(), Label3->size()));
    const double titlePoints = TitleFontPoints(sLabel2->text());
    sLabel2->setFont(fittedFont(S.fontPixels(titlePoints), true, sLabel2->text(), sLabel2->size()));
    for (QLabel *label : {sLabel7, sLabel8})
        label->setFont(fittedFont(S.fontPixels(16), true, label->text(), label->size()));
    sLabel14->setFont(fittedFont(S.fontPixels(12), false, sLabel14->text(), sLabel14->size()));
    lblsss1->setFont(
        fittedFont(m_noticeLayout->fontPixels(36), true, lblsss1->text(), lblsss1->size(), 4));
}

void MainFrm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void MainFrm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // No window manager is needed for the first activation: showing the window is enough.
    if (!m_activated)
        Form_Activate();
}

void MainFrm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_activated)
        Form_Activate();
}

// ---- Events ---------------------------------------------------------------------------

void MainFrm::Form_Load()
{
    m_state.random().seed(double(m_state.clock().secondsSinceMidnight()));
    // The status panel across the top, the notice at the top-left corner over everything,
    // the work area below the panel.
    Picture2->show();
    sPicture2->raise();
    relayout();
}

void MainFrm::Form_Activate()
{
    if (m_activated)
        return;
    m_activated = true;
    buildPanel();
    setFocus();
    初期設定();
    レベル別設定();
    スタート();
    問題作成表示();
}

void MainFrm::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool arrow =
        key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    const bool choose = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (!m_panelBuilt || (!arrow && !choose)) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (m_focusCell == 0) {
        setFocusedCell(1);
        return;
    }
    if (choose) {
        if (!event->isAutoRepeat())
            Label1_Click(m_focusCell);
        return;
    }
    // Rows of ten; the frame stops at the edges of the panel.
    int row = (m_focusCell - 1) / 10;
    int column = (m_focusCell - 1) % 10;
    if (key == Qt::Key_Left)
        column = std::max(0, column - 1);
    else if (key == Qt::Key_Right)
        column = std::min(9, column + 1);
    else if (key == Qt::Key_Up)
        row = std::max(0, row - 1);
    else
        row = std::min(9, row + 1);
    setFocusedCell(10 * row + column + 1);
}

void MainFrm::setFocusedCell(int k)
{
    if (m_focusCell >= 1 && m_focusCell <= 100 && Label1[m_focusCell])
        Label1[m_focusCell]->setLineWidth(1);
    m_focusCell = k;
    ui::ClickableLabel *cell = Label1[k];
    // A frame a tenth of the cell's height, so that it shows on green and on white alike.
    cell->setLineWidth(std::max(3, cell->height() / 10));
    QAccessibleEvent focus(cell, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

// The figures of the status panel as a screen reader announces them.
void MainFrm::updateStatusNames()
{
    const QString left = QStringLiteral("残り %1 問").arg(sLabel9->text());
    const QString time = QStringLiteral("タイム %1 秒").arg(sLabel10->text());
    sLabel9->setAccessibleName(left);
    sLabel10->setAccessibleName(time);
    sPicture1->setAccessibleName(QStringLiteral("%1、%2").arg(left, time));
}

void MainFrm::buildPanel()
{
    if (m_panelBuilt)
        return;
    m_panelBuilt = true;
    const QRect t = m_workLayout->designRect(Label1[0]);
    for (int i = 1; i <= 10; ++i) {
        for (int j = 1; j <= 10; ++j) {
            const int k = 10 * (i - 1) + j;
            auto *cell = new ui::ClickableLabel(Picture2);
            cell->setObjectName(QStringLiteral("Label1_%1").arg(k));
            cell->setAlignment(Label1[0]->alignment());
            cell->setFrameShape(Label1[0]->frameShape());
            cell->setText(QString::number(k));
            cell->setAccessibleName(QString::number(k));
            cell->setFocusPolicy(Qt::NoFocus);
            ui::setBackground(cell, ui::vbColor(kGreen));
            m_workLayout->place(cell, t.left() + t.width() * j, t.top() + t.height() * (i - 1),
                                t.width(), t.height());
            connect(cell, &ui::ClickableLabel::clicked, this, [this, k] { Label1_Click(k); });
            Label1[k] = cell;
            cell->show();
        }
    }
    Picture1->raise();
    fitTexts();
}

void MainFrm::Label1_Click(int Index)
{
    Picture1->hide();
    core::Run &run = m_state.run;
    if (run.TimeOutFlag == 1 || run.RunFinished == 1)
        return;
    if (Index < 1 || Index > 100 || !Label1[Index] || !Label1[Index]->isEnabled())
        return;
    if (IsCorrectClick(Index, BaseNumber)) {
        List1->addItem(QString::number(Index));
        Label1[Index]->setEnabled(false);
        ui::setBackground(Label1[Index], ui::vbColor(kWhite));
        QPointer<MainFrm> self(this);
        platform::processPendingEvents();
        if (!self)
            return;
        if (List1->count() == AnswerCount)
            Command1_Click();
    } else {
        run.AnswerVerdict = 2;
        判定後処理();
    }
}

void MainFrm::Command1_Click()
{
    m_state.run.AnswerVerdict = List1->count() == AnswerCount ? 1 : 2;
    判定後処理();
}

void MainFrm::sTimer1_Timer()
{
    core::Run &run = m_state.run;
    run.ElapsedSeconds =
        ElapsedSecondsAt(m_state.clock().secondsSinceMidnight(), run.RunStartTimer);
    updateLamps();
    const int level = run.CurrentLevel;
    const bool recorded =
        level >= 0 && level <= core::kMaxLevel && m_state.profile.LevelRecorded[level] != 0;
    if (recorded) {
        sLabel10->setText(QString::number(run.ElapsedSeconds));
        updateStatusNames();
    }
    QPointer<MainFrm> self(this);
    platform::processPendingEvents();
    if (!self)
        return;
    if (!TimeLimitReached(run.ElapsedSeconds, run.TimeLimit)) {
        setBarWidth(sShape2, ElapsedBarWidth(run.ElapsedSeconds, run.TimeLimit, run.TimeBarScale));
        return;
    }
    setBarWidth(sShape2, kTimeBarTrackWidth);
    if (run.RecordingStarted == 0 && run.RunFinished == 0) {
        run.TimeOutFlag = 1;
        sTimer1->stop();
        EndRun(m_state, *this);
    }
    // The drill keeps no file open, so closing every open file leaves nothing to do here.
    platform::processPendingEvents();
}

void MainFrm::sTimer2_Timer()
{
    const int minutes =
        MinutesSinceLogin(m_state.clock().secondsSinceMidnight(), m_state.pupil.LoginTime);
    sLabel13->setText(QString::number(minutes));
    // Every ten minutes every open file is closed as a precaution; the drill holds none
    // open between its steps, so there is nothing to close.
    (void)ClosesFilesAt(minutes);
}

// ---- Methods --------------------------------------------------------------------------

void MainFrm::レベル別設定()
{
    m_state.run.QuestionsPerRun = kQuestionsPerRun;
    sLabel9->setText(QString::number(kQuestionsPerRun));
    updateStatusNames();
}

void MainFrm::スタート()
{
    m_state.run.RunStartTimer = m_state.clock().secondsSinceMidnight();
    sTimer1->start();
}

void MainFrm::問題作成表示()
{
    core::Run &run = m_state.run;
    if (run.TimeOutFlag == 1 || run.RunFinished == 1)
        return;
    WrongInProblem = 0;
    AnswerCount = 0;
    List1->clear();
    resetPanel();
    const Problem problem = DrawProblem(run.CurrentLevel, PreviousBase, m_state.random());
    PreviousBase = problem.base;
    BaseNumber = problem.base;
    Label2->setText(QString::number(BaseNumber));
    for (int k = 1; k <= 5; ++k) {
        Label5[k]->setText(QString());
        Label5[k]->hide();
        Label5[k]->setText(QString::number(k * BaseNumber));
    }
    AnswerCount = problem.answerCount;
    Picture1->hide();
}

void MainFrm::判定後処理()
{
    core::Run &run = m_state.run;
    if (run.TimeOutFlag == 1 || run.RunFinished == 1)
        return;
    if (run.AnswerVerdict == 1) {
        run.AnswerVerdict = 0;
        if (!core::PlayCorrectSound(m_state))
            return; // the sound failed for good and the program has ended
        ++run.SolvedCount;
        sLabel9->setText(ProblemsLeftText(run.QuestionsPerRun, run.SolvedCount));
        updateStatusNames();
        if (run.SolvedCount < run.QuestionsPerRun) {
            問題作成表示();
        } else {
            sTimer1->stop();
            run.RunFinished = 1;
            EndRun(m_state, *this);
        }
        return;
    }

    Picture1->show();
    ++WrongInProblem;
    if (WrongInProblem <= AnswerCount && WrongInProblem <= 5)
        Label5[WrongInProblem]->show();
    // The penalty: the run clock jumps ahead by ten seconds at its next tick.
    run.RunStartTimer -= kWrongPenaltySeconds;
    QPointer<MainFrm> self(this);
    platform::processPendingEvents();
    if (!self || run.TimeOutFlag == 1 || run.RunFinished == 1)
        return; // the run ended meanwhile; its notice stands
    if (!core::PlayWrongSound(m_state))
        return;
    List1->clear();
    resetPanel();
    sLabel9->setText(ProblemsLeftText(run.QuestionsPerRun, run.SolvedCount));
    updateStatusNames();
}

void MainFrm::初期設定()
{
    core::Run &run = m_state.run;
    if (m_state.screens) {
        m_state.screens->closeLevelMenu();
        m_state.screens->closeWait();
    }
    run.RunFinished = 0;
    run.RecordingStarted = 0;
    run.AnswerVerdict = 0;

    const int level = run.CurrentLevel;
    const bool validLevel = level >= 0 && level <= core::kMaxLevel;
    if (validLevel && m_state.profile.LevelRecorded[level] != 0) {
        run.TimeLimit = TimeLimitFor(m_state.criteria.MinTime[level]);
        sLabel10->setText(QStringLiteral("0"));
        run.TimeBarScale = TimeBarScaleFor(run.TimeLimit);
        setBarWidth(sShape2, 0);
        setBarWidth(sShape7, 0);
        setBarWidth(sShape3,
                    BarWidth(double(m_state.criteria.TargetTime[level]), run.TimeBarScale));
        setBarWidth(sShape4, BarWidth(double(m_state.criteria.MinTime[level]), run.TimeBarScale));
    }
    const QString &title = m_state.profile.ProgramTitle;
    sLabel2->setText(title);
    m_statusLayout->setFontPoints(sLabel2, TitleFontPoints(title), true);
    sLabel7->setText(core::TrimSpaces(m_state.pupil.StudentName));
    sLabel8->setText(validLevel ? m_state.profile.LevelNames[level] : QString());
    sLabel14->setText(m_state.settings.SchoolName);
    sLabel13->setText(QString::number(
        MinutesSinceLogin(m_state.clock().secondsSinceMidnight(), m_state.pupil.LoginTime)));
    const RunNumbers numbers = RunNumbersFor(m_state);
    sLabel12->setText(numbers.today);
    sLabel11->setText(numbers.level);
    fitTexts();
}

// ---- End of the run -------------------------------------------------------------------

void MainFrm::showEndNotice(bool timedOut)
{
    sPicture2->raise();
    sPicture2->show();
    lblsss2->setVisible(timedOut);
    lblsss1->setVisible(!timedOut);
}

void MainFrm::showRecordingWait(bool waiting)
{
    lblsss1->setText(waiting ? RecordingWaitText() : RecordingText());
    lblsss1->setVisible(waiting || m_state.run.TimeOutFlag != 1);
    fitTexts();
}

void MainFrm::stopRunClock()
{
    sTimer1->stop();
}

// ---- Helpers --------------------------------------------------------------------------

void MainFrm::resetPanel()
{
    for (int k = 1; k <= 100; ++k) {
        if (!Label1[k])
            continue;
        Label1[k]->setEnabled(true);
        ui::setBackground(Label1[k], ui::vbColor(kGreen));
    }
}

void MainFrm::setBarWidth(QFrame *shape, int widthTwips)
{
    m_statusLayout->resize(shape, std::max(0, widthTwips), kTimeBarHeight);
}

void MainFrm::updateLamps()
{
    const int level = m_state.run.CurrentLevel;
    if (level < 0 || level > core::kMaxLevel)
        return;
    const auto out = PassLampsOut(m_state.run.ElapsedSeconds, m_state.criteria.TargetTime[level],
                                  m_state.criteria.MinTime[level]);
    for (int k = kFirstPassLamp; k <= kLastLamp; ++k)
        if (out[k])
            sPicture3[k]->hide();
}

} // namespace tavoro::drill
