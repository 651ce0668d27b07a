// The framework's own windows: the splash Firstfrm, the wait window BASEFRM and the version
// dialog frmver.
#pragma once

#include "ui/Ui.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace tavoro::core {

struct AppState;

// The splash: the title picture, today's era date and "Just a moment, please.". 100 ms
// after it has loaded it starts the program and unloads itself.
class Firstfrm : public QWidget {
    Q_OBJECT
public:
    Firstfrm(AppState &state, QString programFolder, QWidget *parent = nullptr);

    void Form_Load();
    void Timer1_Timer();

    QLabel *Picture1 = nullptr; // the title picture
    QLabel *Label5 = nullptr;   // the date
    QLabel *Label1 = nullptr;   // "Just a moment, please."
    QTimer *Timer1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    AppState &m_state;
    QString m_programFolder;
    ui::TwipsLayout m_layout;
};

// The title picture of the splash, drawn at the given size.
QPixmap TitlePicture(const QString &title, QSize size);

// The wait window: "Just a moment, please." in white on dark cyan.
class BASEFRM : public QWidget {
    Q_OBJECT
public:
    explicit BASEFRM(QWidget *parent = nullptr);
    QLabel *Label19 = nullptr;
};

// The version dialog "ﾊﾞｰｼﾞｮﾝ情報".
class frmver : public QDialog {
    Q_OBJECT
public:
    frmver(AppState &state, QWidget *parent = nullptr);

    void Form_Activate();
    void Command1_Click();

    QLabel *Label1 = nullptr; // program title
    QLabel *Label2 = nullptr; // version
    QLabel *Label4 = nullptr; // maker
    QLabel *Label5 = nullptr; // the maker's notice
    QFrame *Shape1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr; // invisible, does nothing

protected:
    void showEvent(QShowEvent *event) override;

private:
    AppState &m_state;
};

// "Version" followed by major.minor.revision of this build.
QString VersionText();

} // namespace tavoro::core
