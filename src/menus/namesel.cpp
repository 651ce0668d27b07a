// The name selection window.
#include "namesel.h"

#include "NameList.h"
#include "SortedList.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "core/Screens.h"
#include "core/SoundCues.h"
#include "core/Windows.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Events.h"
#include "platform/Launcher.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"
#include "platform/Random.h"
#include "records/RosterFile.h"
#include "records/Statistics.h"

#include <QKeyEvent>
#include <QResizeEvent>

#include <cstdio>

namespace tavoro::menus {
namespace {

constexpr double kListPoints = 18;

} // namespace

namesel::namesel(core::AppState &state, QWidget *parent)
    : QWidget(parent), m_state(state), m_layout(this)
{
    setObjectName(QStringLiteral("namesel"));
    setWindowTitle(state.profile.ProgramTitle);
    setFont(ui::gothicFont(16));

    Label4 = new ui::ClickableLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_layout.place(Label4, 600, 300, 9600, 1200, 24, true);
    connect(Label4, &ui::ClickableLabel::clicked, this, &namesel::Label4_Click);

    Label1 = new QLabel(ChooseNamePrompt(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setIndent(12);
    Label1->setFrameShape(QFrame::Panel);
    Label1->setFrameShadow(QFrame::Sunken);
    ui::setBackground(Label1, ui::vbColor(0xFFFFFF));
    m_layout.place(Label1, 600, 1650, 9000, 720, 20, true);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->hide();

    List1 = new ui::ListBox(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(QStringLiteral("名前"));
    ui::setBackground(List1, ui::vbColor(0xFFFFFF));
    m_layout.place(List1, 600, 2550, 9000, 8400);
    List1->setFont(ui::alignedListFont(m_layout.fontPixels(kListPoints)));
    connect(List1, &ui::ListBox::currentRowChanged, this, [this](int) { List1_Click(); });
    connect(List1, &ui::ListBox::rowDoubleClicked, this, [this](int) { List1_DblClick(); });

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setToolTip(QStringLiteral("表示する学年を選びなさい"));
    Combo1->setAccessibleName(QStringLiteral("表示する学年"));
    Combo1->addItem(QStringLiteral("全学年"));
    m_layout.place(Combo1, 10200, 2550, 4560, 600, 16);
    connect(Combo1, &QComboBox::activated, this, [this](int) { Combo1_Click(); });

    Picture7 = new QFrame(this);
    Picture7->setObjectName(QStringLiteral("Picture7"));
    Picture7->setFrameShape(QFrame::Box);
    Picture7->setAccessibleName(QStringLiteral("表示のしかた"));
    ui::setBackground(Picture7, ui::vbColor(0xF0F0F0));
    m_layout.place(Picture7, 10200, 3450, 4560, 4560);
    const char16_t *const modes[] = {u"回数(今日／今まで）", u"ポイント（今日／今まで）",
                                     u"本日（ポイント／回数）", u"今まで（ポイント／回数）"};
    for (int i = 0; i <= 3; ++i) {
        Option1[i] = new QRadioButton(QString::fromUtf16(modes[i]), Picture7);
        Option1[i]->setObjectName(QStringLiteral("Option1_") + QString::number(i));
        m_layout.place(Option1[i], 200, 150 + i * 720, 4200, 660, 12);
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }
    Command14 = new QPushButton(QStringLiteral("O.K."), Picture7);
    Command14->setObjectName(QStringLiteral("Command14"));
    m_layout.place(Command14, 200, 3150, 4160, 1200, 22, true);
    connect(Command14, &QPushButton::clicked, this, &namesel::Command14_Click);

    Command7 = new QPushButton(QStringLiteral("ﾌﾟﾟﾛｸﾞﾗﾑメニューへ(0)"), this);
    Command7->setObjectName(QStringLiteral("Command7"));
    m_layout.place(Command7, 10200, 9750, 4560, 1200, 14, true);
    connect(Command7, &QPushButton::clicked, this, &namesel::Command7_Click);

    Picture5 = new QFrame(this);
    Picture5->setObjectName(QStringLiteral("Picture5"));
    Picture5->setAccessibleName(QStringLiteral("Just a moment, please."));
    m_layout.place(Picture5, 0, 0, 15360, 11520);
    Label19 = new QLabel(QStringLiteral("Just a moment, please."), Picture5);
    Label19->setObjectName(QStringLiteral("Label19"));
    Label19->setAlignment(Qt::AlignCenter);
    m_layout.place(Label19, 0, 4800, 15360, 1200, 28, true);
    Picture5->hide();

    ui::pressButtonsOnEnter(this);
    // The window sees key presses before its controls.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    resize(1024, 768);
    Form_Load();
}

void namesel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout.apply();
    List1->setFont(ui::alignedListFont(m_layout.fontPixels(kListPoints)));
}

void namesel::Form_Load()
{
    core::AppState &s = m_state;
    if (s.settings.SeasonColor) {
        ui::setBackground(this, ui::vbColor(*s.settings.SeasonColor));
        ui::setBackground(Picture5, ui::vbColor(*s.settings.SeasonColor));
    } else {
        ui::setBackground(Picture5, palette().color(QPalette::Window));
    }
    m_layout.move(Picture5, 0, 0);
    Picture5->raise();
    Picture5->show();
    s.random().seed(s.clock().secondsSinceMidnight());
    platform::processPendingEvents();
    名簿表示();
    m_layout.setFontPoints(Label4, 48, true);
    Label4->setText(s.profile.ProgramTitle);
    if (List1->count() > 0)
        List1->setCurrentRow(0);
    Picture5->hide();
}

void namesel::Form_Activate()
{
    core::AppState &s = m_state;
    // The filter goes back to every grade before the list is rebuilt, so that the list and
    // the filter shown agree.
    Combo1->clear();
    Combo1->addItems(GradeFilterItems());
    Combo1->setCurrentIndex(0);
    s.roster.GradeFilter = QStringLiteral("全学年");
    DisplayMode = 1;
    Option1[1]->setChecked(true);
    Option1_Click(1);
    if (s.screens)
        s.screens->closeLevelMenu();
    Label1->setText(ChooseNamePrompt());
    Picture5->hide();
}

void namesel::reportRosterProblems(const QString &text)
{
    // Once a program run: the pupils are not to meet the same message at every return.
    if (m_state.roster.ProblemsReported)
        return;
    m_state.roster.ProblemsReported = true;
    // While the message is up, the list holds the row of no choice alone.
    {
        const QSignalBlocker block(List1);
        List1->setRows(QStringList{NoChoiceRow()});
    }
    m_state.dialogs().message(this, text, m_state.profile.ProgramTitle);
}

void namesel::名簿表示()
{
    core::AppState &s = m_state;
    s.roster.SchoolYear = SchoolYearOf(s.clock().today(), s.settings.SchoolYearStartMonth);
    if (!records::ComputeStatistics(s))
        return;

    const QString path = records::RosterFile::path(s.settings);
    records::RosterFile roster;
    if (!roster.load(path)) {
        reportRosterProblems(RosterUnreadableText(path, roster.errorText(),
                                                  roster.error() == platform::FileError::NotFound));
    } else if (!roster.problems().empty()) {
        reportRosterProblems(RosterProblemsText(path, roster.problems()));
    }
    m_sortedKeys = FillRosterTables(s, roster.lines(), DisplayMode,
                                    s.settings.RosterSwitch.equals(1));
    SortListTexts(m_sortedKeys);
    m_shown = ShownRows(m_sortedKeys, s.roster.SchoolYear, Combo1->currentText());
    {
        const QSignalBlocker block(List1);
        List1->setRows(QStringList{NoChoiceRow()} + m_shown.rows);
    }
    List1->setCurrentRow(0);
    List1_Click();
}

void namesel::Combo1_Click()
{
    m_state.roster.GradeFilter = Combo1->currentText();
    名簿表示();
    List1->setFocus();
}

void namesel::Option1_Click(int index)
{
    DisplayMode = index;
    名簿表示();
}

void namesel::List1_Click()
{
    const int row = List1->currentRow();
    if (row < 0)
        return;
    if (row == 0) {
        Label1->setText(ChooseNamePrompt());
        return;
    }
    if (row - 1 >= qsizetype(m_shown.numbers.size()))
        return;
    Label2->setText(QString::number(m_shown.numbers[std::size_t(row - 1)]));
    Label1->setText(ChosenNameText(List1->text(row)));
}

void namesel::List1_DblClick()
{
    const int row = List1->currentRow();
    if (row < 0)
        return;
    if (row == 0 || row - 1 >= qsizetype(m_shown.numbers.size())) {
        Label1->setText(ChooseNamePrompt());
        return;
    }
    Label2->setText(QString::number(m_shown.numbers[std::size_t(row - 1)]));
    Label1->setText(ConfirmedNameText(List1->text(row)));
    Command14_Click();
}

void namesel::List1_KeyPress(QChar key)
{
    if (key == u' ' || key == u'\r' || key == u'\n')
        Command14_Click();
}

void namesel::Form_KeyPress(QChar key)
{
    if (key == u'1' && Command14->isVisible())
        Command14_Click();
    else if (key == u'0' && Command7->isVisible())
        Command7_Click();
}

bool namesel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->text().isEmpty() &&
            !(key->modifiers() & (Qt::AltModifier | Qt::ControlModifier))) {
            const QChar c = key->text().at(0);
            if (c == u'1' || c == u'0') {
                Form_KeyPress(c);
                return true;
            }
            if (watched == List1 && (c == u' ' || c == u'\r' || c == u'\n')) {
                List1_KeyPress(c);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void namesel::keyPressEvent(QKeyEvent *event)
{
    if (!event->text().isEmpty()) {
        const QChar c = event->text().at(0);
        if (c == u'1' || c == u'0') {
            Form_KeyPress(c);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void namesel::Command14_Click()
{
    core::AppState &s = m_state;
    const QString chosen = Label1->text();
    if (chosen.isEmpty() || chosen == ChooseNamePrompt()) {
        core::PlayWrongSound(s);
        return;
    }
    const int pupil = Label2->text().toInt();
    if (pupil < 1 || pupil > core::kMaxStudent) {
        core::PlayWrongSound(s);
        return;
    }
    s.pupil.LoginTime =
        platform::toIntegral<std::int32_t>(double(s.clock().secondsSinceMidnight()));
    s.pupil.CurrentStudent = std::int16_t(pupil);
    s.pupil.StudentName = s.roster.StudentNames[std::size_t(pupil)];
    s.pupil.CurrentGradeCode = s.roster.GradeCodes[std::size_t(pupil)];
    Command14->hide();
    Picture5->raise();
    Picture5->show();
    platform::processPendingEvents();
    core::SetLevelTableAndShowMenu(s);
}

void namesel::Command7_Click()
{
    core::AppState &s = m_state;
    QString folder = s.settings.AppFolder;
    if (!folder.isEmpty() && platform::isSeparator(folder.back()))
        folder.chop(1);
    const QString program = folder + QStringLiteral("\\..\\起動\\プログラムメニューc.exe");
    QString error;
    if (!s.launcher().start(program, {QStringLiteral("001")}, &error)) {
        const QString line = QStringLiteral("プログラムメニューを起動できません: %1: %2\n")
                                 .arg(platform::localPath(program), error);
        std::fputs(line.toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
    }
    if (s.screens)
        s.screens->closeAll();
    s.programExit().exit(0);
}

void namesel::Label4_Click()
{
    if (m_version)
        return;
    auto *dialog = new core::frmver(m_state, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    m_version = dialog;
    // The window becomes active again when the dialog closes.
    connect(dialog, &QDialog::finished, this, [this] { Form_Activate(); });
    dialog->adjustSize();
    dialog->move(mapToGlobal(rect().center()) - dialog->rect().center());
    dialog->show();
}

} // namespace tavoro::menus
