// The level menu window.
#include "seisekitime1.h"

#include "LevelMenu.h"
#include "NameList.h"
#include "PasswordPanel.h"
#include "Ranking.h"
#include "ResultLists.h"
#include "SortedList.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "core/Screens.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Events.h"
#include "records/GradeLoad.h"
#include "records/Statistics.h"

#include <QKeyEvent>
#include <QResizeEvent>

namespace tavoro::menus {
namespace {

// Rows of a level column (twips): row 1 starts just below the lists' heading Label5.
constexpr int kLabel5Top = 1200;
constexpr int kLabel5Height = 525;
constexpr int kRow1Top = kLabel5Top + kLabel5Height * 105 / 100;
constexpr int kRow1Height = 480;
constexpr int kRow2Top = kRow1Top + kRow1Height;
constexpr int kRow2Height = 660;
constexpr int kRow3Top = kRow2Top + kRow2Height;
constexpr int kRow3Height = 300;
constexpr int kRow4Top = kRow3Top + kRow3Height;
constexpr int kRow4Height = 330;
constexpr int kRow5Top = kRow4Top + kRow4Height;
constexpr int kRow5Height = 330;
constexpr int kRow6Top = kRow5Top + kRow5Height;
constexpr int kScrollTop = 10680;
constexpr int kRow7Height = 330;
constexpr int kRow6Height = kScrollTop - 30 - kRow7Height - kRow6Top;
constexpr int kRow7Top = kRow6Top + kRow6Height;

constexpr double kSmallPoints = 9;
constexpr double kListPoints = 11;

QString indexed(const char *name, int i)
{
    return QString::fromLatin1(name) + u'_' + QString::number(i);
}

} // namespace

seisekitime1::seisekitime1(core::AppState &state, QWidget *parent)
    : QWidget(parent), m_state(state), m_layout(this), m_events(state.clock())
{
    setObjectName(QStringLiteral("seisekitime1"));
    setWindowTitle(QStringLiteral("Velmora"));
    setFont(ui::gothicFont(14));
    resize(1024, 768);
    Form_Load();
}

int seisekitime1::levelCount() const
{
    return std::clamp<int>(m_state.profile.LevelCount, 0, kColumns - 1);
}

void seisekitime1::buildFixedControls()
{
    // The level columns lie under every fixed control: created first, they stay at the back.
    m_columnArea = new QWidget(this);
    m_columnArea->setObjectName(QStringLiteral("columns"));
    m_columnArea->setAccessibleName(QStringLiteral("レベル別の成績"));
    m_layout.place(m_columnArea, 0, 0, kMenuDesignWidth, 11520);

    Label2 = ui::newLabel(this, QStringLiteral("Label2"));
    ui::setBackground(Label2, ui::vbColor(0x00C000));
    m_layout.place(Label2, 120, 120, 9645, 705);
    // Bands and panels without a caption of their own are named for screen readers.
    Label2->setAccessibleName(QStringLiteral("題名の帯"));
    Label11 = ui::newLabel(this, QStringLiteral("Label11"));
    Label11->setAlignment(Qt::AlignCenter);
    ui::setBackground(Label11, ui::vbColor(0x00C000));
    ui::setForeground(Label11, Qt::white);
    m_layout.place(Label11, 120, 150, 9660, 675, 24, true);

    Label16 = ui::newLabel(this, QStringLiteral("Label16"));
    ui::setBackground(Label16, ui::vbColor(0xC0FFC0));
    m_layout.place(Label16, 9795, 90, 2595, 735);
    Label16->setAccessibleName(QStringLiteral("生徒の欄"));
    Label13 = ui::newLabel(this, QStringLiteral("Label13"));
    m_layout.place(Label13, 9840, 135, 2505, 330, kSmallPoints);
    Label12 = ui::newLabel(this, QStringLiteral("Label12"));
    m_layout.place(Label12, 9840, 450, 2505, 330, 10, true);

    Command8 = new QPushButton(QStringLiteral("データ処理"), this);
    Command8->setObjectName(QStringLiteral("Command8"));
    m_layout.place(Command8, 8370, 180, 1365, 585, 10);
    Command8->hide();
    connect(Command8, &QPushButton::clicked, this, &seisekitime1::Command8_Click);

    Picture1 = ui::newPanel(this, QStringLiteral("Picture1"));
    ui::setBackground(Picture1, ui::vbColor(0xC0FFC0));
    m_layout.place(Picture1, 12420, 90, 1320, 735);
    Picture1->setAccessibleName(QStringLiteral("順位の並べ方"));
    for (int i = 1; i <= 3; ++i) {
        Option1[i] = new QRadioButton(Picture1);
        Option1[i]->setObjectName(indexed("Option1", i));
        m_layout.place(Option1[i], 45, 15 + (i - 1) * 235, 1260, 235, 8);
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }
    Option1[1]->setText(QStringLiteral("累計順"));
    Option1[2]->setText(QStringLiteral("本日順"));
    Option1[3]->setText(QStringLiteral("オール表示"));

    Command1 = new QPushButton(QStringLiteral("戻る(0)"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    m_layout.place(Command1, 13800, 90, 1305, 735, 12, true);
    connect(Command1, &QPushButton::clicked, this, &seisekitime1::Command1_Click);

    Picture3 = ui::newPanel(this, QStringLiteral("Picture3"));
    ui::setBackground(Picture3, ui::vbColor(0xC0C0C0));
    m_layout.place(Picture3, 120, 840, 3090, 345);
    Picture3->setAccessibleName(QStringLiteral("起動からの時間"));
    Label17 = ui::newLabel(Picture3, QStringLiteral("Label17"));
    Label17->setAlignment(Qt::AlignCenter);
    m_layout.place(Label17, 0, 0, 3090, 345, 10, true);
    Picture4 = ui::newPanel(this, QStringLiteral("Picture4"));
    ui::setBackground(Picture4, ui::vbColor(0xC0C0C0));
    m_layout.place(Picture4, 3210, 840, 3090, 345);
    Picture4->setAccessibleName(QStringLiteral("本日の回数"));
    Label18 = ui::newLabel(Picture4, QStringLiteral("Label18"));
    Label18->setAlignment(Qt::AlignCenter);
    m_layout.place(Label18, 0, 0, 3090, 345, 10, true);

    Picture5 = ui::newPanel(this, QStringLiteral("Picture5"));
    ui::setBackground(Picture5, ui::vbColor(0xC0FFC0));
    m_layout.place(Picture5, 11400, 840, 3690, 345);
    Picture5->setAccessibleName(QStringLiteral("表示の切り替え"));
    const char16_t *const views[] = {u"ﾀｲﾑ表示", u"ﾎﾟｲﾝﾄ表示", u"個人ﾀｲﾑ"};
    const int viewLeft[] = {1230, 2460, 0};
    for (int i = 0; i <= 2; ++i) {
        Option2[i] = new QRadioButton(QString::fromUtf16(views[i]), Picture5);
        Option2[i]->setObjectName(indexed("Option2", i));
        m_layout.place(Option2[i], viewLeft[i] + 30, 30, 1200, 285, 8);
        connect(Option2[i], &QRadioButton::clicked, this, [this, i] { Option2_Click(i); });
    }

    Label20 = ui::newLabel(this, QStringLiteral("Label20"));
    ui::setBackground(Label20, ui::vbColor(0x008080));
    m_layout.place(Label20, 120, 1215, 9255, 435);
    Label20->setAccessibleName(QStringLiteral("帯"));
    Label5 = ui::newLabel(this, QStringLiteral("Label5"), QStringLiteral("ベスト成績"));
    Label5->setIndent(8);
    ui::setBackground(Label5, ui::vbColor(0xFFFF00));
    m_layout.place(Label5, 120, kLabel5Top, 14985, kLabel5Height, 12, true);

    Combo2 = new QComboBox(this);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    m_layout.place(Combo2, 6150, 1260, 3345, 405, 9);
    Combo2->hide();
    connect(Combo2, &QComboBox::activated, this, [this](int) { Combo2_Click(); });
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setToolTip(QStringLiteral("表示する学年を選びます"));
    Combo1->setAccessibleName(QStringLiteral("表示する学年"));
    m_layout.place(Combo1, 13440, 1260, 1305, 405, 9);
    connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });

    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setAccessibleName(QStringLiteral("レベルの列"));
    m_layout.place(HScroll1, 120, kScrollTop, 15045, 330);
    HScroll1->hide();
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int) { HScroll1_Change(); });

    buildGraphPanel();
    // The password panel stands in front of the graph panel.
    buildPasswordPanel();
    // They hold the colours of a list of times within the target and the minimum time.
    Text4 = ui::newLabel(this, QStringLiteral("Text4"));
    ui::setBackground(Text4, ui::vbColor(0x00C000));
    Text4->hide();
    Text5 = ui::newLabel(this, QStringLiteral("Text5"));
    ui::setBackground(Text5, ui::vbColor(0xC0FFC0));
    Text5->hide();

    Picture6 = ui::newPanel(this, QStringLiteral("Picture6"));
    ui::setBackground(Picture6, ui::vbColor(0x808000));
    Picture6->setAccessibleName(QStringLiteral("Just a momento, please."));
    m_layout.place(Picture6, 0, kLabel5Top, kMenuDesignWidth, 11520 - kLabel5Top);
    Label21 =
        ui::newLabel(Picture6, QStringLiteral("Label21"), QStringLiteral("Just a momento, please."));
    Label21->setAlignment(Qt::AlignCenter);
    ui::setForeground(Label21, Qt::white);
    m_layout.place(Label21, 0, 3000, kMenuDesignWidth, 900, 24, true);
    ProgressBar2 = new QProgressBar(Picture6);
    ProgressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    ProgressBar2->setTextVisible(false);
    m_layout.place(ProgressBar2, 3840, 4200, 7680, 360);
    Picture6->hide();

    Picture2 = ui::newPanel(this, QStringLiteral("Picture2"));
    ui::setBackground(Picture2, ui::vbColor(0x808000));
    Picture2->setAccessibleName(QStringLiteral("Just a moment, please."));
    m_layout.place(Picture2, 0, 0, kMenuDesignWidth, 11520);
    Label19 =
        ui::newLabel(Picture2, QStringLiteral("Label19"), QStringLiteral("Just a moment, please."));
    Label19->setAlignment(Qt::AlignCenter);
    ui::setForeground(Label19, Qt::white);
    m_layout.place(Label19, 0, 4800, kMenuDesignWidth, 900, 24, true);
    ProgressBar1 = new QProgressBar(Picture2);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    m_layout.place(ProgressBar1, 3840, 6000, 7680, 360);
    Picture2->hide();
}

void seisekitime1::buildPasswordPanel()
{
    Picture7 = ui::newPanel(this, QStringLiteral("Picture7"));
    Picture7->setAccessibleName(QStringLiteral("データ処理"));
    ui::setBackground(Picture7, ui::vbColor(0x00C000));
    Picture7->setFrameShape(QFrame::Box);
    m_layout.place(Picture7, 4860, 3600, 6045, 3945);
    Label28 = ui::newLabel(Picture7, QStringLiteral("Label28"), QStringLiteral("データ変更パスワード"));
    m_layout.place(Label28, 855, 90, 2400, 285, 10, true);
    Text3 = new QLineEdit(Picture7);
    Text3->setAccessibleName(QStringLiteral("パスワード"));
    Text3->setObjectName(QStringLiteral("Text3"));
    Text3->setEchoMode(QLineEdit::Password);
    Text3->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    m_layout.place(Text3, 810, 360, 2445, 375, 11);
    const char16_t *const captions[] = {u"データ変更", u"合格タイムデータ変更"};
    const int tops[] = {810, 2115};
    for (int i = 0; i < 2; ++i) {
        Command10[i] = new QPushButton(QString::fromUtf16(captions[i]), Picture7);
        Command10[i]->setObjectName(indexed("Command10", i));
        m_layout.place(Command10[i], 855, tops[i], 2430, 855, 11, true);
        connect(Command10[i], &QPushButton::clicked, this, [this, i] { Command10_Click(i); });
    }
    Command12 = new QPushButton(QStringLiteral("戻る"), Picture7);
    Command12->setObjectName(QStringLiteral("Command12"));
    m_layout.place(Command12, 3825, 2115, 1545, 855, 11, true);
    connect(Command12, &QPushButton::clicked, this, &seisekitime1::Command12_Click);
    Picture7->hide();
}

void seisekitime1::buildColumn(int i)
{
    QWidget *area = m_columnArea;
    Label1[i] = ui::newLabel(area, indexed("Label1", i));
    Label1[i]->setAlignment(Qt::AlignCenter);
    ui::setBackground(Label1[i], ui::vbColor(0x00C000));
    ui::setForeground(Label1[i], Qt::white);
    Label3[i] = new ui::ClickableLabel(area);
    Label3[i]->setObjectName(indexed("Label3", i));
    Label3[i]->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    Label3[i]->setIndent(4);
    ui::setBackground(Label3[i], ui::vbColor(0xFFFFFF));
    Command4[i] = new QPushButton(area);
    Command4[i]->setObjectName(indexed("Command4", i));
    Text1[i] = ui::newLabel(area, indexed("Text1", i));
    Text1[i]->setAlignment(Qt::AlignCenter);
    ui::setBackground(Text1[i], ui::vbColor(0x808080));
    ui::setForeground(Text1[i], Qt::white);
    Text1[i]->hide();
    Label9[i] = ui::newLabel(area, indexed("Label9", i), QStringLiteral("今日"));
    Label9[i]->setAlignment(Qt::AlignCenter);
    Label10[i] = ui::newLabel(area, indexed("Label10", i), QStringLiteral("今まで"));
    Label10[i]->setAlignment(Qt::AlignCenter);
    Label14[i] = ui::newLabel(area, indexed("Label14", i));
    Label14[i]->setAlignment(Qt::AlignCenter);
    ui::setBackground(Label14[i], ui::vbColor(0xE0E0E0));
    Label15[i] = ui::newLabel(area, indexed("Label15", i));
    Label15[i]->setAlignment(Qt::AlignCenter);
    ui::setBackground(Label15[i], ui::vbColor(0xE0E0E0));
    Label8[i] = ui::newLabel(area, indexed("Label8", i));
    Label8[i]->setAlignment(Qt::AlignCenter);
    ui::setBackground(Label8[i], ui::vbColor(0xE0E0E0));
    List5[i] = new ui::ListBox(area);
    List5[i]->setObjectName(indexed("List5", i));
    List5[i]->setAccessibleName(QStringLiteral("レベル%1の順位").arg(i));
    List5[i]->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    List5[i]->setFocusPolicy(Qt::NoFocus);
    ui::setBackground(List5[i], ui::vbColor(0xC0FFFF));
    Label7[i] = ui::newLabel(area, indexed("Label7", i));
    Label7[i]->setAlignment(Qt::AlignCenter);
    ui::setBackground(Label7[i], ui::vbColor(0xE0E0E0));
    if (i == 0) {
        for (QWidget *w : std::initializer_list<QWidget *>{
                 Label1[0], Label3[0], Command4[0], Text1[0], Label9[0], Label10[0], Label14[0],
                 Label15[0], Label8[0], List5[0], Label7[0]})
            w->hide();
        return;
    }
    connect(Label3[i], &ui::ClickableLabel::clicked, this, [this, i] { Label3_Click(i); });
    connect(Command4[i], &QPushButton::clicked, this, [this, i] { Command4_Click(i); });
}

void seisekitime1::placeColumn(int i, int x)
{
    const int w = m_columnWidth;
    const int numberWidth = int(0.2 * w);
    const int half = w / 2;
    m_layout.place(Label1[i], x, kRow1Top, numberWidth, kRow1Height, 12, true);
    m_layout.place(Label3[i], x + numberWidth, kRow1Top, w - numberWidth, kRow1Height, 12, true);
    m_layout.place(Command4[i], x, kRow2Top, w, kRow2Height, 13, true);
    m_layout.place(Text1[i], x, kRow2Top, w, kRow2Height, 13, true);
    m_layout.place(Label9[i], x, kRow3Top, half, kRow3Height, kSmallPoints);
    m_layout.place(Label10[i], x + half, kRow3Top, half, kRow3Height, kSmallPoints);
    m_layout.place(Label14[i], x, kRow4Top, half, kRow4Height, kSmallPoints);
    m_layout.place(Label15[i], x + half, kRow4Top, half, kRow4Height, kSmallPoints);
    m_layout.place(Label8[i], x, kRow5Top, w, kRow5Height, kSmallPoints);
    m_layout.place(List5[i], x, kRow6Top, w, kRow6Height);
    List5[i]->setFont(ui::alignedListFont(m_layout.fontPixels(kListPoints)));
    m_layout.place(Label7[i], x, kRow7Top, w, kRow7Height, kSmallPoints);
}

void seisekitime1::Form_Load()
{
    core::AppState &s = m_state;
    if (s.settings.SeasonColor)
        ui::setBackground(this, ui::vbColor(*s.settings.SeasonColor));
    buildFixedControls();

    const int n = levelCount();
    const ColumnGeometry g = ColumnGeometryFor(n);
    m_columnWidth = g.width;
    if (g.scrolls) {
        // The scroll position kept in the state is taken over by the refresh.
        const QSignalBlocker block(HScroll1);
        HScroll1->show();
        HScroll1->setRange(1, g.scrollMaximum);
        HScroll1->setPageStep(1);
    }
    buildColumn(0);
    placeColumn(0, FirstColumnLeft());
    for (int i = 1; i <= n; ++i) {
        buildColumn(i);
        placeColumn(i, ColumnLeft(i, 1, m_columnWidth));
    }
    m_columnsBuilt = n;
    m_placedFirstColumn = 1;

    s.menu.ReportPeriod = 3;
    Combo1->addItems(GradeFilterItems());
    const int chosen = Combo1->findText(s.roster.GradeFilter);
    Combo1->setCurrentIndex(chosen < 0 ? 0 : chosen);
    const char16_t *const periods[] = {u"　　　今週の全成績", u"　　先週からの全成績",
                                       u"　　１ヶ月間の全成績", u"　　１年間の全成績",
                                       u"　　今までの全成績\""};
    for (const char16_t *p : periods)
        Combo2->addItem(QString::fromUtf16(p));
    Combo2->setCurrentIndex(2);

    Label11->setText(s.profile.ProgramTitle);
    m_layout.setFontPoints(Label11, TitleFontPoints(s.profile.ProgramTitle), true);
    for (int i = 1; i <= n; ++i) {
        Label1[i]->setText(QString::number(i));
        Label3[i]->setText(s.profile.LevelNames[i]);
        Label3[i]->setToolTip(s.profile.LevelNames[i]);
        Command4[i]->setText(StartButtonCaption(i));
        Command4[i]->setAccessibleName(QStringLiteral("ｽﾀｰﾄ(") + QString::number(i) + u')');
        Label14[i]->clear();
        Label15[i]->clear();
        Label8[i]->setText(PeriodText(s, i));
        Label7[i]->setText(CriteriaText(s, i));
    }

    ui::pressButtonsOnEnter(this);
    // The window sees key presses before its controls.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

void seisekitime1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout.apply();
    for (int i = 0; i <= m_columnsBuilt; ++i)
        if (List5[i])
            List5[i]->setFont(ui::alignedListFont(m_layout.fontPixels(kListPoints)));
}

bool seisekitime1::eventFilter(QObject *watched, QEvent *event)
{
    // While the password panel is open every typed character belongs to its entry.
    if (event->type() == QEvent::KeyPress && MenuKeysAct(MenuReady, Picture7->isVisible())) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->text().isEmpty() &&
            !(key->modifiers() & (Qt::AltModifier | Qt::ControlModifier))) {
            Form_KeyPress(key->text().at(0));
            // Digits and the level letters belong to the window; other keys go on to the
            // control.
            const QChar c = key->text().at(0);
            if (c.isDigit() || (c >= u'a' && c <= u'd'))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void seisekitime1::keyPressEvent(QKeyEvent *event)
{
    if (!event->text().isEmpty())
        Form_KeyPress(event->text().at(0));
    QWidget::keyPressEvent(event);
}

void seisekitime1::disableStartButtons()
{
    for (int i = 1; i <= m_columnsBuilt; ++i)
        Command4[i]->setEnabled(false);
}

void seisekitime1::hideLists()
{
    for (int i = 1; i <= m_columnsBuilt; ++i)
        List5[i]->hide();
}

void seisekitime1::showListsOfRecordedLevels()
{
    for (int i = 1; i <= m_columnsBuilt; ++i)
        List5[i]->setVisible(!core::IsPracticeLevel(m_state, i));
}

void seisekitime1::Form_Activate()
{
    core::AppState &s = m_state;
    const int n = m_columnsBuilt;
    const platform::PacedEvents::Work work(m_events);

    // 1..3: teacher's button, minutes since login, the wait panel.
    Command8->setVisible(core::IsTeacherName(s.pupil.StudentName));
    Picture11->Command24[1]->setVisible(core::IsTeacherName(s.pupil.StudentName));
    Label17->setText(MinutesSinceLoginText(s));
    MenuReady = 0;
    m_layout.resize(Picture2, kMenuDesignWidth, 11520);
    Picture2->raise();
    Picture2->show();
    ProgressBar1->show();
    m_events.letRun();

    // 4..6: captions, fresh statistics, runs today.
    Option1[1]->setText(QStringLiteral("累計順"));
    Option1[2]->setText(QStringLiteral("本日順"));
    if (s.screens)
        s.screens->closeNameSelection();
    if (!records::ComputeStatistics(s))
        return;
    Label18->setText(RunsTodayTotalText(s));

    // 7: the cumulative points view builds every list; the view option only clears them.
    ProgressBar1->setMaximum(std::max(1, n));
    ListMode = 2;
    SelectingDefaults = 1;
    Option1[1]->setChecked(true);
    Option1_Click(1);
    Option2_Click(1);
    Option2[1]->setChecked(true);
    Option2_Click(1);
    Command1->setEnabled(true);
    SelectingDefaults = 0;

    // 8: practice levels keep their lists hidden.
    for (int i = 1; i <= n; ++i) {
        if (core::IsPracticeLevel(s, i)) {
            s.criteria.TargetTime[i] = 600;
            s.criteria.MinTime[i] = 600;
            List5[i]->hide();
        } else {
            List5[i]->show();
        }
    }
    Picture6->hide();

    // 9: the header.
    Label12->setText(PupilNameText(s));
    Label13->setText(PupilNumberText(s));
    Label11->setText(s.profile.ProgramTitle);

    // 10: the scroll position kept from the last showing.
    s.menu.FirstColumn = EffectiveFirstColumn(s.menu.FirstColumn, HScroll1->maximum());
    {
        const QSignalBlocker block(HScroll1);
        HScroll1->setValue(s.menu.FirstColumn);
    }
    moveColumns();

    // 11: the pupil's counts.
    for (int i = 1; i <= n; ++i) {
        ui::setBackground(Label7[i], ui::vbColor(0xE0E0E0));
        ui::setBackground(Label8[i], ui::vbColor(0xE0E0E0));
        if (core::IsPracticeLevel(s, i)) {
            for (QWidget *w : std::initializer_list<QWidget *>{
                     List5[i], Label7[i], Label8[i], Label14[i], Label15[i], Label9[i], Label10[i]})
                w->hide();
        }
        Label15[i]->setText(TotalText(s, i));
        Label14[i]->setText(TodayText(s, i));
    }

    // 12: the level rules alone decide which start buttons are enabled.
    disableStartButtons();
    ApplyLevelRules();

    // 13: ready.
    Picture2->hide();
    ProgressBar1->hide();
    m_events.runNow();
    MenuReady = 1;
}

void seisekitime1::ApplyLevelRules()
{
    const LevelRules rules = LevelRulesFor(m_state);
    for (int i = 1; i <= m_columnsBuilt; ++i) {
        if (rules.enabled[i])
            Command4[i]->setEnabled(true);
        else if (rules.barred[i])
            Command4[i]->setEnabled(false);
        if (rules.barred[i]) {
            Text1[i]->setText(TooMuchNotice());
            Text1[i]->show();
            Text1[i]->raise();
        } else {
            Text1[i]->hide();
        }
    }
    Picture6->raise();
}

void seisekitime1::Command4_Click(int level)
{
    if (level < 1 || level > m_columnsBuilt)
        return;
    if (Picture7->isVisible() || !Command4[level]->isEnabled())
        return;
    Picture2->raise();
    Picture2->show();
    m_state.run.CurrentLevel = std::int16_t(level);
    platform::processPendingEvents();
    MenuReady = 0;
    core::StartLevel(m_state);
}

void seisekitime1::Label3_Click(int level)
{
    if (level < 1 || level > m_columnsBuilt)
        return;
    if (Picture7->isVisible() || !Command4[level]->isEnabled())
        return;
    m_state.run.CurrentLevel = std::int16_t(level);
    MenuReady = 0;
    core::StartLevel(m_state);
    if (m_state.screens)
        m_state.screens->closeLevelMenu();
}

void seisekitime1::Form_KeyPress(QChar key)
{
    if (!MenuKeysAct(MenuReady, Picture7->isVisible()))
        return;
    if (key == u'0') {
        if (Command1->isEnabled())
            Command1_Click();
        return;
    }
    if (const auto level = LevelForKey(key, levelCount()))
        Command4_Click(*level);
}

void seisekitime1::Command1_Click()
{
    Picture2->raise();
    Picture2->show();
    platform::processPendingEvents();
    if (m_state.screens)
        m_state.screens->showNameSelection();
}

void seisekitime1::Command8_Click()
{
    // The entry keeps what was typed before.
    Picture7->show();
    Picture7->raise();
    Text3->setFocus();
}

void seisekitime1::Command10_Click(int index)
{
    const auto function = DataFunctionOf(index);
    if (!function)
        return;
    if (!PasswordAccepted(m_state, Text3->text())) {
        m_state.dialogs().message(this, PasswordPrompt(), m_state.profile.ProgramTitle);
        return;
    }
    if (!m_state.screens)
        return;
    if (*function == DataFunction::RecordBrowser)
        m_state.screens->showRecordBrowser();
    else
        m_state.screens->showCriteriaEditor();
    m_state.screens->closeLevelMenu();
}

void seisekitime1::Command12_Click()
{
    Picture7->hide();
}

void seisekitime1::HScroll1_Change()
{
    m_state.menu.FirstColumn = HScroll1->value();
    if (m_state.menu.FirstColumn > levelCount())
        m_state.menu.FirstColumn = 1;
    moveColumns();
}

void seisekitime1::moveColumns()
{
    m_placedFirstColumn = m_state.menu.FirstColumn;
    for (int i = 1; i <= m_columnsBuilt; ++i) {
        placeColumn(i, ColumnLeft(i, m_placedFirstColumn, m_columnWidth));
        if (m_listPending[std::size_t(i)] && ColumnInView(i, m_placedFirstColumn, m_columnWidth))
            fillList(i);
    }
}

void seisekitime1::Option2_Click(int index)
{
    const platform::PacedEvents::Work work(m_events);
    Command17->hide();
    Picture11->hide();
    Command1->setEnabled(false);
    disableStartButtons();
    hideLists();
    Picture6->show();
    Picture6->raise();
    m_events.letRun();
    if (SelectingDefaults == 1)
        return;
    if (index == 2) {
        Command17->show();
        Combo2->hide();
        Command16_Click();
        return;
    }
    if (index == 0) {
        Option1[1]->setText(QStringLiteral("BEST表示"));
        Option1[2]->setText(QStringLiteral("本日のみ"));
        Option1[3]->setEnabled(true);
        ListMode = 1;
        Option1_Click(Option1[2]->isChecked() ? 2 : Option1[3]->isChecked() ? 3 : 1);
        return;
    }
    Combo2->hide();
    Option1[1]->setText(QStringLiteral("合計累計"));
    Option1[2]->setText(QStringLiteral("合計本日"));
    Option1[3]->setText(QStringLiteral("すべて"));
    Option1[3]->setEnabled(true);
    ListMode = 2;
    m_events.letRun();
    if (Option1[1]->isChecked()) {
        PointsOrder = 1;
        Option1_Click(1);
    } else if (Option1[3]->isChecked()) {
        Option1_Click(3);
    } else if (Option1[2]->isChecked()) {
        PointsOrder = 2;
        Option1_Click(2);
    } else {
        // No order chosen: the lists come back in the cumulative order.
        Option1[1]->setChecked(true);
        PointsOrder = 1;
        Option1_Click(1);
    }
}

void seisekitime1::Option1_Click(int index)
{
    const platform::PacedEvents::Work work(m_events);
    const int n = m_columnsBuilt;
    Command1->setEnabled(false);
    disableStartButtons();
    hideLists();
    Picture6->show();
    Picture6->raise();
    Combo2->hide();
    Picture1->setEnabled(false);
    m_events.letRun();
    if (ListMode == 0)
        ListMode = 1;

    if (ListMode == 1) {
        if (index == 1)
            Command6_Click();
        else if (index == 2)
            Command5_Click();
        else if (index == 3)
            Command7_Click();
    } else if (ListMode == 2) {
        if (PointsOrder == 0)
            PointsOrder = 1;
        ProgressBar2->setMaximum(std::max(1, n));
        if (index == 1) {
            PointsOrder = 1;
            Label5->setText(QStringLiteral("獲得ポイント（今まで順位）"));
            ui::setProgress(ProgressBar1, 0);
            for (int i = 1; i <= n; ++i) {
                ui::setProgress(ProgressBar1, i);
                ui::setProgress(ProgressBar2, i);
                Command3_Click(i);
            }
        } else if (index == 2) {
            Label5->setText(QStringLiteral("獲得ポイント（今日の順位）"));
            PointsOrder = 2;
            for (int i = 1; i <= n; ++i) {
                ui::setProgress(ProgressBar2, i);
                Command3_Click(i);
            }
        } else if (index == 3) {
            Command7_Click();
        }
        Picture1->setEnabled(true);
    }

    Command1->setEnabled(true);
    ApplyLevelRules();
    showListsOfRecordedLevels();
    Picture6->hide();
}

void seisekitime1::Combo2_Click()
{
    if (!Option1[3]->isChecked())
        return;
    m_state.menu.ReportPeriod = Combo2->currentIndex() + 1;
    Option1_Click(3);
}

void seisekitime1::Command6_Click()
{
    const int n = m_columnsBuilt;
    Label5->setText(QStringLiteral("ベスト成績"));
    回数など表示();
    ProgressBar2->setMaximum(std::max(1, n));
    ui::setProgress(ProgressBar2, 0);
    for (int i = 1; i <= n; ++i) {
        ui::setProgress(ProgressBar2, i);
        if (core::IsPracticeLevel(m_state, i)) {
            for (QWidget *w : std::initializer_list<QWidget *>{List5[i], Label9[i], Label10[i],
                                                               Label14[i], Label15[i]})
                w->hide();
            continue;
        }
        Command3_Click(i);
    }
    Picture1->setEnabled(true);
}

bool seisekitime1::readNewestRecords(std::int64_t newest, std::vector<records::GradeRecord> &out)
{
    records::LoadedRecords loaded;
    if (!records::LoadGradeRecords(m_state, loaded, newest))
        return false; // the program has ended with a message
    out = std::move(loaded.records);
    return true;
}

void seisekitime1::showLines(const LinesByLevel &lines)
{
    // The records are read at once; the bar moves as the lists are sorted and filled.
    ProgressBar2->setMaximum(std::max(1, m_columnsBuilt));
    for (int i = 1; i <= m_columnsBuilt; ++i) {
        m_listPending[std::size_t(i)] = false;
        QStringList sorted = lines[std::size_t(i)];
        SortListTexts(sorted);
        List5[i]->setRows(sorted);
        ui::setProgress(ProgressBar2, i);
        m_events.letRun();
    }
}

void seisekitime1::Command5_Click()
{
    Label5->setText(QStringLiteral("本日の成績"));
    回数など表示();
    std::vector<records::GradeRecord> records;
    if (!readNewestRecords(kTodayRecords, records))
        return;
    showLines(TodayLines(m_state, records, Combo1->currentText()));
    成績リスト色表示();
    Picture1->setEnabled(true);
}

void seisekitime1::Command7_Click()
{
    回数など表示();
    std::vector<records::GradeRecord> records;
    if (!readNewestRecords(records::kMaxLoaded, records))
        return;
    const int days = PeriodDaysFor(m_state.menu.ReportPeriod, m_state.clock().today());
    Label5->clear();
    const menus::ListMode mode = ListMode == 2 ? menus::ListMode::Points : menus::ListMode::Times;
    showLines(PeriodLines(m_state, records, days, mode, Combo1->currentText()));
    m_events.letRun();
    成績リスト色表示();
    Picture1->setEnabled(true);
    Combo2->show();
}

void seisekitime1::Combo1_Click()
{
    const platform::PacedEvents::Work work(m_events);
    if (Option2[0]->isChecked())
        Option2_Click(0);
    else
        Option2_Click(1);
    if (m_columnsBuilt >= 1)
        Command4[1]->setFocus();
}

void seisekitime1::Command3_Click(int level)
{
    if (level < 1 || level > m_columnsBuilt)
        return;
    Label9[level]->setText(QStringLiteral("今日"));
    Label10[level]->setText(QStringLiteral("今まで"));
    List5[level]->clear();
    m_events.letRun();
    // A list of 5000 lines takes some 7 ms to make and sort, and 35 of them 250 ms, far more
    // than a pupil waits unawares; only the columns in view (five at most) are filled now,
    // the others when they are scrolled into view.
    m_listPending[std::size_t(level)] = !ColumnInView(level, m_placedFirstColumn, m_columnWidth);
    if (!m_listPending[std::size_t(level)])
        fillList(level);
    成績リスト色表示単独(level);
}

void seisekitime1::fillList(int level)
{
    m_listPending[std::size_t(level)] = false;
    const menus::ListMode mode = ListMode == 2 ? menus::ListMode::Points : menus::ListMode::Times;
    const menus::PointsOrder order =
        PointsOrder == 2 ? menus::PointsOrder::Today : menus::PointsOrder::Cumulative;
    // The list is a sorted one: its lines stand in the order of their texts.
    List5[level]->setRows(
        SortedRankingLines(m_state, level, mode, order, Combo1->currentText()));
}

void seisekitime1::回数など表示()
{
    for (int i = 1; i <= m_columnsBuilt; ++i) {
        Label9[i]->setText(QStringLiteral("今日"));
        Label10[i]->setText(QStringLiteral("今まで"));
        List5[i]->clear();
    }
}

void seisekitime1::成績リスト色表示()
{
    for (int i = 1; i <= m_columnsBuilt; ++i) {
        if (ListMode == 1 && m_state.profile.LevelRecorded[std::size_t(i)] == 1) {
            const std::optional<TimesColour> colour = TimesListColour(
                List5[i]->texts(), m_state.criteria.TargetTime[std::size_t(i)],
                m_state.criteria.MinTime[std::size_t(i)]);
            if (colour == TimesColour::Target)
                ui::setBackground(List5[i], Text4->palette().color(QPalette::Window));
            else if (colour == TimesColour::Minimum)
                ui::setBackground(List5[i], Text5->palette().color(QPalette::Window));
            else if (colour == TimesColour::Slower)
                ui::setBackground(List5[i], ui::vbColor(0xC0C0C0));
        }
        List5[i]->clearSelection();
        List5[i]->setCurrentRow(-1);
    }
}

void seisekitime1::成績リスト色表示単独(int level)
{
    if (level < 1 || level > m_columnsBuilt)
        return;
    if (List5[level]->count() > 0) {
        List5[level]->clearSelection();
        List5[level]->setCurrentRow(-1);
    }
}

} // namespace tavoro::menus
