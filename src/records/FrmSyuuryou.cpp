// The finish screen.
#include "FrmSyuuryou.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "core/Screens.h"
#include "core/SoundCues.h"
#include "platform/Events.h"
#include "platform/Numbers.h"
#include "records/Points.h"
#include "records/Statistics.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>

namespace tavoro::records {

namespace {


constexpr int kLabelLeft = 1845;
constexpr int kLabelWidth = 11490;

QPixmap backgroundPicture(QSize size)
{
    if (size.isEmpty())
        size = QSize(1024, 768);
    QPixmap pix(size);
    QPainter p(&pix);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(0xfd, 0xf6, 0xe3));
    g.setColorAt(1, QColor(0xc8, 0xe6, 0xf5));
    p.fillRect(pix.rect(), g);
    return pix;
}

} // namespace

FrmSyuuryou::FrmSyuuryou(core::AppState &state, QWidget *parent)
    : QWidget(parent), m_state(state), m_layout(this)
{
    setObjectName(QStringLiteral("FrmSyuuryou"));
    setWindowTitle(QStringLiteral("終了"));
    ui::setBackground(this, QColor(0xc8, 0xe6, 0xf5));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setAccessibleName(QStringLiteral("背景"));

    Label15 = makeLabel("Label15", 120, 1150, 48);
    ui::setBackground(Label15, ui::vbColor(0xC0E0FF));
    Label16 = makeLabel("Label16", 1330, 870, 36);
    ui::setBackground(Label16, ui::vbColor(0xC0FFFF));
    Label17 = makeLabel("Label17", 2280, 1150, 48);
    Label18 = makeLabel("Label18", 3540, 870, 36);
    Label19 = makeLabel("Label19", 4520, 870, 36);
    Label20 = makeLabel("Label20", 5520, 720, 27.75);
    ui::setForeground(Label20, ui::vbColor(0x0000C0));
    Label20->hide();

    // The run numbers stand side by side below the record message.
    Label13 = new QLabel(this);
    Label13->setObjectName(QStringLiteral("Label13"));
    Label13->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_layout.place(Label13, kLabelLeft, 6420, kLabelWidth / 2 - 180, 600, 14);
    Label14 = new QLabel(this);
    Label14->setObjectName(QStringLiteral("Label14"));
    Label14->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_layout.place(Label14, kLabelLeft + kLabelWidth / 2 + 180, 6420, kLabelWidth / 2 - 180, 600,
                   14);

    Label2 = new QLabel(LevelClearedText(), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    ui::setForeground(Label2, ui::vbColor(0xC00000));
    m_layout.place(Label2, 0, 7710, 15360, 435, 24, true);
    Label2->hide();

    Command4 = new QPushButton(QStringLiteral("メニューへ"), this);
    Command4->setObjectName(QStringLiteral("Command4"));
    m_layout.place(Command4, 1890, 8325, 5235, 1005, 24, true);
    Command4->hide();
    Command5 = new QPushButton(QStringLiteral("もう一度"), this);
    Command5->setObjectName(QStringLiteral("Command5"));
    m_layout.place(Command5, 8055, 8325, 5235, 1005, 24, true);
    Command5->hide();
    connect(Command4, &QPushButton::clicked, this, &FrmSyuuryou::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &FrmSyuuryou::Command5_Click);
    ui::pressButtonsOnEnter(this);

    // The goal panel stands over the row of buttons until they appear.
    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::Box);
    ui::setBackground(Picture1, ui::vbColor(0x80FF80));
    m_layout.place(Picture1, kLabelLeft, 8145, kLabelWidth, 1500);
    Label1 = new QLabel(GoalClearedText(), Picture1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    m_layout.place(Label1, 60, 60, kLabelWidth - 120, 1380, 30, true);
    Picture1->setAccessibleName(GoalClearedText());
    Picture1->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &FrmSyuuryou::Timer1_Timer);

    resize(1024, 768);
    Form_Load();
}

QLabel *FrmSyuuryou::makeLabel(const char *name, int top, int height, double points)
{
    auto *l = new QLabel(this);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignCenter);
    m_layout.place(l, kLabelLeft, top, kLabelWidth, height, points, true);
    return l;
}

void FrmSyuuryou::Form_Load()
{
    m_layout.place(Image1, 0, 0, 15360, 11520);
    Image1->lower();
}

void FrmSyuuryou::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout.apply();
    // The picture covers the whole window, margins around the design area included.
    Image1->setGeometry(rect());
    Image1->setPixmap(backgroundPicture(size()));
}

void FrmSyuuryou::Form_Activate()
{
    core::AppState &s = m_state;
    const int p = s.pupil.CurrentStudent;
    const int level = s.run.CurrentLevel;
    if (level < 1 || level > core::kMaxLevel)
        return;

    Label13->setText(platform::numberText(double(s.stats.RunsToday(p, level)) + 1));
    if (!ComputeStatistics(s))
        return;

    m_goalAllowed = 0;
    const bool cleared = ClearConditionHolds(s, p, level);
    if (cleared) {
        Label2->show();
        if (level == s.profile.GoalLevel) {
            if (!GoalPanelAllowed(s.criteria))
                m_goalAllowed = -1;
            if (m_goalAllowed != -1)
                Picture1->show();
        }
    }
    platform::processPendingEvents();
    Timer1->start();

    const FinishPoints fp = FinishRunPoints(s.criteria, level, s.run.RunTime);
    Label19->setText(PointsLineText(fp, s.criteria.PointMultiplier[level]));
    Label18->setText(ResultLineText(s.run.RunTime));
    Label17->setText(core::TrimSpaces(s.pupil.StudentName));
    Label15->setText(s.profile.ProgramTitle);
    Label16->setText(s.profile.LevelNames[level]);
    Label13->setText(LevelRunCountText(s.stats.RunsToday(p, level)));
    double today = 0;
    for (int l = 1; l <= core::kMaxLevel; ++l)
        today += s.stats.RunsToday(p, l);
    Label14->setText(DayRunCountText(today));

    platform::processPendingEvents();
    const RecordMessage message =
        RecordMessageFor(s.run.TimeOutFlag, s.run.NewPersonalBest, s.run.NewSchoolBest,
                         s.run.RunTime, s.criteria.MinTime[level]);
    if (!message.text.isEmpty()) {
        Label20->setText(message.text);
        Label20->show();
    }
    if (message.sound != FinishSound::None) {
        platform::processPendingEvents();
        switch (message.sound) {
        case FinishSound::PersonalRecord:
            core::PlayPersonalRecordSound(s);
            break;
        case FinishSound::TopRecord:
            core::PlayTopRecordSound(s);
            break;
        case FinishSound::Fail:
            core::PlayFailSound(s);
            break;
        case FinishSound::None:
            break;
        }
        platform::processPendingEvents();
    }

    if (cleared && level == s.profile.GoalLevel) {
        if (s.run.AlreadyCleared == 0) {
            platform::processPendingEvents();
            core::PlayPassSound(s);
            platform::processPendingEvents();
        }
    } else {
        Picture1->hide();
    }

    s.run.NewPersonalBest = 0;
    s.run.NewSchoolBest = 0;
    if (s.screens)
        s.screens->closeWait();
}

void FrmSyuuryou::Timer1_Timer()
{
    Picture1->hide();
    Command4->show();
    Command4->setFocus();
    Timer1->stop();

    const RetryDecision d = DecideRetry(m_state);
    switch (d.label2) {
    case RetryDecision::Label2::Keep:
        break;
    case RetryDecision::Label2::Clear:
        Label2->setText(QString());
        Label2->hide();
        break;
    case RetryDecision::Label2::MoveOn:
        Label2->setText(MoveOnText());
        break;
    }
    Command5->setVisible(d.showRetry);
}

void FrmSyuuryou::Command4_Click()
{
    Command4->setEnabled(false);
    if (m_state.screens) {
        m_state.screens->showLevelMenu();
        m_state.screens->closeFinish();
    }
    platform::processPendingEvents();
}

void FrmSyuuryou::Command5_Click()
{
    Command4->setEnabled(false);
    core::AppState &s = m_state;
    if (s.screens) {
        s.screens->showWait();
        s.screens->closeFinish();
    }
    platform::processPendingEvents();
    core::StartLevel(s);
}

} // namespace tavoro::records
