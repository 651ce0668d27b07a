// The splash, the wait window and the version dialog.
#include "Windows.h"

#include "AppState.h"
#include "Settings.h"
#include "platform/Clock.h"
#include "platform/Events.h"
#include "platform/Random.h"

#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace tavoro::core {

// ---- Firstfrm -------------------------------------------------------------------------

// The splash is 640 x 480 pixels of picture with the date and the wait line below it.
static constexpr int kSplashWidth = 9600;  // twips
static constexpr int kSplashHeight = 9000; // twips

Firstfrm::Firstfrm(AppState &state, QString programFolder, QWidget *parent)
    : QWidget(parent), m_state(state), m_programFolder(std::move(programFolder)),
      m_layout(this, kSplashWidth, kSplashHeight)
{
    setObjectName(QStringLiteral("Firstfrm"));
    setWindowTitle(QStringLiteral("Tavoro"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setScaledContents(true);
    Label5 = new QLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setAlignment(Qt::AlignCenter);
    Label1 = new QLabel(QStringLiteral("Just a moment, please."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &Firstfrm::Timer1_Timer);

    m_layout.place(Picture1, 0, 0, kSplashWidth, 7200);
    m_layout.place(Label5, 0, 7320, kSplashWidth, 780, 20, true);
    m_layout.place(Label1, 0, 8160, kSplashWidth, 600, 14);
    Picture1->setAccessibleName(QStringLiteral("Tavoro"));
    resize(640, 600);
}

void Firstfrm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layout.apply();
    Picture1->setPixmap(TitlePicture(QStringLiteral("Tavoro"), Picture1->size()));
}

void Firstfrm::Form_Load()
{
    if (const QScreen *screen = this->screen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - rect().center());
    }
    show();
    platform::processPendingEvents();
    m_state.random().seed(m_state.clock().secondsSinceMidnight());
    const QDate today = m_state.clock().today();
    Label5->setText(EraDateText(today));
    m_state.settings.SeasonColor = SeasonColorForMonth(today.month());
    if (m_state.settings.SeasonColor)
        ui::setBackground(this, ui::vbColor(*m_state.settings.SeasonColor));
    show();
    platform::processPendingEvents();
    Timer1->start();
}

void Firstfrm::Timer1_Timer()
{
    Timer1->stop();
    StartProgram(m_state, m_programFolder);
    close();
    deleteLater();
}

QPixmap TitlePicture(const QString &title, QSize size)
{
    if (size.isEmpty())
        size = QSize(640, 480);
    QPixmap pix(size);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0x1e, 0x5a, 0xa8));
    sky.setColorAt(1, QColor(0x7f, 0xc8, 0xf0));
    p.fillRect(pix.rect(), sky);
    // A 10 x 10 panel of numbers fading into the background, the drill's own motif.
    const double cell = size.height() / 15.0;
    const QPointF origin(size.width() - cell * 10.4, size.height() - cell * 10.3);
    QFont small = ui::gothicFont(int(cell * 0.45), true);
    p.setFont(small);
    for (int k = 1; k <= 100; ++k) {
        const int row = (k - 1) / 10, col = (k - 1) % 10;
        const QRectF r(origin.x() + col * cell, origin.y() + row * cell, cell * 0.92, cell * 0.92);
        const bool multiple = k % 7 == 0 && k <= 35;
        p.setPen(Qt::NoPen);
        p.setBrush(multiple ? QColor(255, 255, 255, 200) : QColor(0, 255, 0, 70));
        p.drawRoundedRect(r, 4, 4);
        p.setPen(multiple ? QColor(0x1e, 0x5a, 0xa8) : QColor(255, 255, 255, 150));
        p.drawText(r, Qt::AlignCenter, QString::number(k));
    }
    p.setPen(Qt::white);
    p.setFont(ui::gothicFont(int(size.height() * 0.18), true));
    p.drawText(
        QRectF(size.width() * 0.05, size.height() * 0.03, size.width(), size.height() * 0.27),
        Qt::AlignLeft | Qt::AlignVCenter, title);
    p.setFont(ui::gothicFont(int(size.height() * 0.055)));
    p.drawText(
        QRectF(size.width() * 0.06, size.height() * 0.42, size.width() * 0.4, size.height() * 0.1),
        Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("倍数のはじめの５つ"));
    return pix;
}

// ---- BASEFRM --------------------------------------------------------------------------

BASEFRM::BASEFRM(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("BASEFRM"));
    setWindowTitle(QStringLiteral("Tavoro"));
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    ui::setBackground(this, ui::vbColor(0x808000));
    Label19 = new QLabel(QStringLiteral("Just a moment, please."), this);
    Label19->setObjectName(QStringLiteral("Label19"));
    Label19->setAlignment(Qt::AlignCenter);
    ui::setForeground(Label19, Qt::white);
    Label19->setFont(ui::gothicFont(22, true));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label19);
    resize(420, 110);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

// ---- frmver ---------------------------------------------------------------------------

QString VersionText()
{
    return QStringLiteral("Version%1.%2.%3")
        .arg(TAVORO_VERSION_MAJOR)
        .arg(TAVORO_VERSION_MINOR)
        .arg(TAVORO_VERSION_PATCH);
}

frmver::frmver(AppState &state, QWidget *parent) : QDialog(parent), m_state(state)
{
    setObjectName(QStringLiteral("frmver"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);
    auto make = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    Shape1 = new QFrame(this);
    Shape1->setAccessibleName(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Label1 = make("Label1");
    Label2 = make("Label2");
    Label4 = make("Label4");
    Label5 = make("Label5");
    Label5->setWordWrap(true);
    Command1 = new QPushButton(QStringLiteral("O.K."), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->hide();
    connect(Command1, &QPushButton::clicked, this, &frmver::Command1_Click);

    Label1->setFont(ui::gothicFont(30, true));
    Label2->setFont(ui::gothicFont(16));
    Label4->setFont(ui::gothicFont(16, true));
    Label5->setFont(ui::gothicFont(13));
    Command1->setFont(ui::gothicFont(15));
    setFixedSize(420, 250);
    Shape1->setGeometry(12, 12, 396, 170);
    Label1->setGeometry(28, 22, 364, 44);
    Label2->setGeometry(28, 72, 364, 26);
    Label4->setGeometry(28, 104, 364, 26);
    Label5->setGeometry(28, 134, 364, 44);
    Command1->setGeometry(300, 198, 108, 38);
}

void frmver::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmver::Form_Activate()
{
    platform::processPendingEvents();
    platform::processPendingEvents();
    Label1->setText(m_state.profile.ProgramTitle);
    Label2->setText(VersionText());
    Label4->setText(QStringLiteral("Quillbrook"));
    Label5->setText(QStringLiteral("学校で使うための計算ドリルです。ご意見はお気軽にどうぞ。"));
}

void frmver::Command1_Click()
{
    accept();
}

} // namespace tavoro::core
