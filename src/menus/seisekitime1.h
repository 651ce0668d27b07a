// The level menu seisekitime1: one column per level with its number, name, start button,
// the pupil's counts, the level's ranking list and criteria, under a header with the title,
// the pupil, the minutes since login and the runs today. The pupil starts a level here (by
// button, name or key), goes back to the name selection, and a teacher reaches the data
// functions.
#pragma once

#include "ui/ListBox.h"
#include "ui/Ui.h"
#include "menus/GraphPanel.h"
#include "menus/Ranking.h"
#include "menus/ResultLists.h"
#include "platform/Events.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::menus {

class seisekitime1 : public QWidget {
    Q_OBJECT
public:
    explicit seisekitime1(core::AppState &state, QWidget *parent = nullptr);
    ~seisekitime1() override;

    // Load lays the window out; Activate is the refresh, run at every showing.
    void Form_Load();
    void Form_Activate();
    void Form_KeyPress(QChar key);

    void ApplyLevelRules();
    void Command9_Click() { ApplyLevelRules(); }
    void Command4_Click(int level);
    void Label3_Click(int level);
    void Command1_Click();
    void Command8_Click();
    void Command10_Click(int index);
    void Command12_Click();
    void HScroll1_Change();
    void Option1_Click(int index);
    void Option2_Click(int index);
    void Combo1_Click();
    void Combo2_Click();
    void Command5_Click(); // today's runs
    void Command6_Click(); // best times
    void Command7_Click(); // the runs of a period
    void 成績リスト色表示();
    void Command3_Click(int level);
    void 回数など表示();
    void 成績リスト色表示単独(int level);

    // The own-times view and the graph panel.
    void Command16_Click();
    void Command17_Click();
    void Command24_Click(int index);
    void Command25_Click();
    void Command18_Click();
    void List2_Click();
    void List3_Click();
    void Command21_Click(int index);
    void Command19_Click();
    void Command22_Click();
    void Command23_Click(int index);

    // Fixed controls.
    QLabel *Label2 = nullptr;                // frame behind the title
    QLabel *Label11 = nullptr;               // the title
    QLabel *Label16 = nullptr;               // frame behind the pupil labels
    QLabel *Label13 = nullptr;               // pupil number and school
    QLabel *Label12 = nullptr;               // pupil's name and grade
    QFrame *Picture1 = nullptr;              // holds Option1
    std::array<QRadioButton *, 4> Option1{}; // 1..3
    QPushButton *Command1 = nullptr;         // "戻る(0)"
    QPushButton *Command8 = nullptr;         // "データ処理", teachers only
    QFrame *Picture3 = nullptr;
    QLabel *Label17 = nullptr; // minutes since login
    QFrame *Picture4 = nullptr;
    QLabel *Label18 = nullptr;               // runs today
    QFrame *Picture5 = nullptr;              // holds Option2
    std::array<QRadioButton *, 3> Option2{}; // 0..2
    QLabel *Label20 = nullptr;               // decoration
    QLabel *Label5 = nullptr;                // heading of the lists
    QComboBox *Combo2 = nullptr;             // period of the all-results view
    QComboBox *Combo1 = nullptr;             // grade group of the lists
    QScrollBar *HScroll1 = nullptr;
    QFrame *Picture2 = nullptr; // wait panel
    QProgressBar *ProgressBar1 = nullptr;
    QLabel *Label19 = nullptr;
    QFrame *Picture6 = nullptr; // wait panel of the lists
    QProgressBar *ProgressBar2 = nullptr;
    QLabel *Label21 = nullptr;
    QFrame *Picture7 = nullptr;       // password panel
    GraphPanel *Picture11 = nullptr;  // graph panel
    QPushButton *Command17 = nullptr; // "グラフ"
    QLabel *Text4 = nullptr;          // hidden; the colour of times within the target
    QLabel *Text5 = nullptr;          // hidden; the colour of times within the minimum

    // The password panel Picture7.
    QLabel *Label28 = nullptr;                // "データ変更パスワード"
    QLineEdit *Text3 = nullptr;               // the password entry, shown as "*"
    std::array<QPushButton *, 2> Command10{}; // 0 records, 1 criteria
    QPushButton *Command12 = nullptr;         // "戻る": closes the panel

    // Per-level controls; element 0 is the invisible template.
    static constexpr int kColumns = 36;
    std::array<QLabel *, kColumns> Label1{};
    std::array<ui::ClickableLabel *, kColumns> Label3{};
    std::array<QPushButton *, kColumns> Command4{};
    std::array<QLabel *, kColumns> Text1{};
    std::array<QLabel *, kColumns> Label9{};
    std::array<QLabel *, kColumns> Label10{};
    std::array<QLabel *, kColumns> Label14{};
    std::array<QLabel *, kColumns> Label15{};
    std::array<QLabel *, kColumns> Label8{};
    std::array<ui::ListBox *, kColumns> List5{};
    std::array<QLabel *, kColumns> Label7{};

    // Form variables.
    int MenuReady = 0;
    int ListMode = 0;
    int PointsOrder = 0;
    int SelectingDefaults = 0;
    int ShownPupil = 0;
    int GraphLevel = 0;
    int GraphKind = 0;
    int GraphToPrinter = 0;
    double BaseFontSize = 6;
    double BlockTop = 0;
    // Per level; sized for every level a profile may have.
    std::array<QString, core::kLevels> GraphTimeRank{};
    std::array<QString, core::kLevels> GraphPointsRank{};
    std::array<long long, core::kLevels> GraphPoints{};
    std::array<long long, core::kLevels> SchoolPointsSum{};
    std::array<long long, core::kLevels> SchoolPointsCount{};

    int columnWidth() const { return m_columnWidth; }
    // The design rectangle of a control (twips), for tests of the layout.
    QRect designRect(QWidget *w) const { return m_layout.designRect(w); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildFixedControls();
    void buildGraphPanel();
    void ReloadPupilList();
    bool beginPrint();
    void endPrint();
    void buildPasswordPanel();
    void buildColumn(int level);
    void placeColumn(int level, int left);
    void moveColumns();
    void fillList(int level);
    // Reads the newest records of the grade file for a list of runs; false when the program
    // has ended.
    bool readNewestRecords(std::int64_t newest, std::vector<records::GradeRecord> &out);
    // Sets every level's list to its lines in the lists' order.
    void showLines(const LinesByLevel &lines);
    void disableStartButtons();
    void hideLists();
    void showListsOfRecordedLevels();
    int levelCount() const;

    core::AppState &m_state;
    ui::TwipsLayout m_layout;
    QWidget *m_columnArea = nullptr; // clips the columns to the design area
    int m_columnWidth = 0;
    int m_columnsBuilt = 0;
    int m_placedFirstColumn = 0; // the first column the columns were last placed from
    // Lists whose lines are made when their column comes into view.
    std::array<bool, kColumns> m_listPending{};
    // The refresh and the views let their wait panels paint only when they take long.
    platform::PacedEvents m_events;
    // The rankings last built into List4(1) and List4(2), with the pupil of each line.
    std::array<GraphRanking, 3> m_graphRankings{};
    // The document being printed by Command21(1).
    struct PrintJob;
    struct PrintJobEnd {
        void operator()(PrintJob *job) const;
    };
    std::unique_ptr<PrintJob, PrintJobEnd> m_print;
};

} // namespace tavoro::menus
