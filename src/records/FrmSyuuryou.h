// The finish screen FrmSyuuryou ("終了") shown after every recorded run: the result, the
// points the run earned, the record message with its sound, the level and goal clearing,
// and after half a second the ways on ("メニューへ", "もう一度"). The texts and decisions are
// the plain functions of FinishRules.h; the window only sets its controls from them.
#pragma once

#include "records/FinishRules.h"
#include "ui/Ui.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::records {

class FrmSyuuryou : public QWidget {
    Q_OBJECT
public:
    explicit FrmSyuuryou(core::AppState &state, QWidget *parent = nullptr);

    void Form_Load();
    void Form_Activate();
    void Timer1_Timer();
    void Command4_Click();
    void Command5_Click();

    QLabel *Image1 = nullptr;
    QLabel *Label15 = nullptr;       // program title
    QLabel *Label16 = nullptr;       // level name
    QLabel *Label17 = nullptr;       // pupil's name
    QLabel *Label18 = nullptr;       // result line
    QLabel *Label19 = nullptr;       // points line
    QLabel *Label20 = nullptr;       // record message
    QLabel *Label13 = nullptr;       // run number of this level today
    QLabel *Label14 = nullptr;       // run number today
    QLabel *Label2 = nullptr;        // "このレベルクリア"
    QFrame *Picture1 = nullptr;      // the goal panel
    QLabel *Label1 = nullptr;        // its text
    QPushButton *Command4 = nullptr; // "メニューへ"
    QPushButton *Command5 = nullptr; // "もう一度"
    QTimer *Timer1 = nullptr;

    // The goal-allowed mark: 0, or -1 when some level's clear count is 9999.
    int goalAllowedMark() const { return m_goalAllowed; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *makeLabel(const char *name, int top, int height, double points);

    core::AppState &m_state;
    ui::TwipsLayout m_layout;
    int m_goalAllowed = 0;
};

} // namespace tavoro::records
