// The name selection namesel: the listed pupils of the roster with two totals each, a
// school-year filter and four display modes. The pupil picks his name and confirms it with
// O.K., which opens the level menu; "ﾌﾟﾟﾛｸﾞﾗﾑメニューへ(0)" starts the program menu and ends.
#pragma once

#include "ui/ListBox.h"
#include "ui/Ui.h"
#include "core/Windows.h"
#include "menus/NameList.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QWidget>

#include <array>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::menus {

class namesel : public QWidget {
    Q_OBJECT
public:
    explicit namesel(core::AppState &state, QWidget *parent = nullptr);

    void Form_Load();
    void Form_Activate();
    void Form_KeyPress(QChar key);
    void 名簿表示();

    void Combo1_Click();
    void Option1_Click(int index);
    void List1_Click();
    void List1_DblClick();
    void List1_KeyPress(QChar key);
    void Command14_Click();
    void Command7_Click();
    void Label4_Click();

    ui::ListBox *List1 = nullptr;
    QComboBox *Combo1 = nullptr;
    QFrame *Picture7 = nullptr;
    std::array<QRadioButton *, 4> Option1{};
    QPushButton *Command14 = nullptr;       // "O.K."
    QLabel *Label1 = nullptr;               // the chosen pupil
    QLabel *Label2 = nullptr;               // the chosen pupil number (hidden)
    ui::ClickableLabel *Label4 = nullptr; // the title
    QPushButton *Command7 = nullptr;        // "ﾌﾟﾟﾛｸﾞﾗﾑメニューへ(0)"
    QFrame *Picture5 = nullptr;             // the wait panel
    QLabel *Label19 = nullptr;

    // The hidden lists: every listed pupil's key text in sorted order, and each shown row
    // with its pupil number.
    const QStringList &sortedKeys() const { return m_sortedKeys; }
    const NameRows &shownRows() const { return m_shown; }

    int DisplayMode = 0;

    // The version dialog while it is open.
    core::frmver *versionDialog() const { return m_version; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void reportRosterProblems(const QString &text);

    core::AppState &m_state;
    ui::TwipsLayout m_layout;
    QStringList m_sortedKeys;
    NameRows m_shown;
    QPointer<core::frmver> m_version;
};

} // namespace tavoro::menus
