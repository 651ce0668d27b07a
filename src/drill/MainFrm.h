// The drill window MainFrm ("Velmora"): the status panel with the run clock, the time bar
// and the countdown lamps at the top; below it N, the instruction, the hint strip and the
// 10 x 10 panel of the numbers 1..100; the end-of-run notice over everything.
#pragma once

#include "ui/Ui.h"
#include "drill/EndOfRun.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::drill {

class MainFrm : public QWidget, public RunEndView {
    Q_OBJECT
public:
    explicit MainFrm(core::AppState &state, QWidget *parent = nullptr);
    ~MainFrm() override;

    // Events.
    void Form_Load();
    // Runs when the window is first shown or activated; later activations (after a message
    // box, say) leave the run alone.
    void Form_Activate();
    void Label1_Click(int Index);
    void Command1_Click();
    void sTimer1_Timer();
    void sTimer2_Timer();

    // Methods.
    void レベル別設定();
    void スタート();
    void 問題作成表示();
    void 判定後処理();
    void 初期設定();

    // RunEndView.
    void showEndNotice(bool timedOut) override;
    void showRecordingWait(bool waiting) override;
    void stopRunClock() override;

    // ---- Status panel ----
    QWidget *sPicture1 = nullptr;
    QLabel *sLabel1 = nullptr;          // the coloured band under the title
    QLabel *sLabel2 = nullptr;          // program title
    QLabel *sLabel3 = nullptr;          // "レベル"
    QLabel *sLabel7 = nullptr;          // pupil's name
    QLabel *sLabel8 = nullptr;          // level name
    QLabel *sLabel9 = nullptr;          // problems left
    QLabel *sLabel10 = nullptr;         // seconds
    QLabel *sLabel11 = nullptr;         // this level's run number today
    QLabel *sLabel12 = nullptr;         // today's run number
    QLabel *sLabel13 = nullptr;         // minutes since login
    QLabel *sLabel14 = nullptr;         // school
    std::array<QLabel *, 6> sLabel16{}; // "起動後" "分" "本日" "回目" "このレベル" "回目"
    QLabel *remainCaption = nullptr;      // "残り"
    QLabel *problemsCaption = nullptr;    // "問"
    QLabel *timeCaption = nullptr;        // "タイム"
    QFrame *sShape5 = nullptr;            // track
    QFrame *sShape4 = nullptr;            // pass line
    QFrame *sShape3 = nullptr;            // target
    QFrame *sShape2 = nullptr;            // elapsed
    QFrame *sShape7 = nullptr;            // red, always width 0
    std::array<QFrame *, 40> sPicture3{}; // lamps 10..39
    QLabel *bestCaption = nullptr;        // "Best"
    QLabel *yourBestCaption = nullptr;    // "YourBest"
    QLabel *passCaption = nullptr;        // "Pass"

    // ---- Work area ----
    QWidget *Picture2 = nullptr;
    QLabel *Label2 = nullptr;                         // N
    QLabel *Label3 = nullptr;                         // the instruction
    QWidget *Picture1 = nullptr;                      // the hint strip
    QLabel *Label4 = nullptr;                         // "ヒント"
    std::array<QLabel *, 6> Label5{};                 // answers 1..5
    std::array<ui::ClickableLabel *, 101> Label1{}; // 0 the template, 1..100 the panel
    QListWidget *List1 = nullptr;
    QPushButton *Command1 = nullptr;

    // ---- End-of-run notice ----
    QWidget *sPicture2 = nullptr;
    QLabel *lblsss1 = nullptr; // "成績記録中"
    QLabel *lblsss2 = nullptr; // "時間切れ"

    QTimer *sTimer1 = nullptr; // run clock, 1000 ms
    QTimer *sTimer2 = nullptr; // minutes since login, 10000 ms

    // Form state.
    int BaseNumber = 0;
    int PreviousBase = 0;
    int AnswerCount = 0;
    int WrongInProblem = 0;

    // Design rectangle (twips) of a status-panel or work-area control, for tests.
    QRect designRect(QWidget *control) const;

    // The panel by keyboard: the arrow keys move a focus frame over the numbers and Enter or
    // Space chooses the framed number as a click does. The frame appears at 1 with the first
    // of these keys; 0 until then.
    int focusedCell() const { return m_focusCell; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createStatusPanel();
    void createWorkArea();
    void createNotice();
    void buildPanel();
    void relayout();
    void fitTexts();
    void resetPanel();
    void setBarWidth(QFrame *shape, int widthTwips);
    void updateLamps();
    void setFocusedCell(int k);
    void updateStatusNames();

    core::AppState &m_state;
    // Each of the three areas scales its own twips, so that the panel and the notice span
    // the whole window while their contents keep their proportions.
    std::unique_ptr<ui::TwipsLayout> m_statusLayout;
    std::unique_ptr<ui::TwipsLayout> m_workLayout;
    std::unique_ptr<ui::TwipsLayout> m_noticeLayout;
    bool m_activated = false;
    bool m_panelBuilt = false;
    int m_focusCell = 0;
};

} // namespace tavoro::drill
