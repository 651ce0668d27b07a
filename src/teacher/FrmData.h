// The record browser FrmData: every record of the grade file in a list; a double click
// opens a record in the edit panel, where the teacher corrects its time or pupil or deletes
// it. Changes go into the grade file at once, under its lock.
#pragma once

#include "records/GradeFile.h"
#include "records/GradeWriter.h"
#include "teacher/RecordList.h"
#include "ui/Ui.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

#include <array>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::teacher {

using records::RewriteOutcome;
using records::RewriteResult;

class FrmData : public QWidget {
    Q_OBJECT
public:
    static constexpr int kScrollMaximum = 6000;

    explicit FrmData(core::AppState &state, QWidget *parent = nullptr);

    void Form_Load();
    // When the window is first shown: offers to put back a rewrite that was interrupted.
    void Form_Activate();
    void Command1_Click(); // the listing
    void List1_Click(int row);
    void List1_DblClick(int row);
    void Combo1_Click();
    void VScroll1_Change();
    void Command2_Click(); // 変更して記録
    void Command3_Click(); // 消去
    void Command4_Click(); // 戻る
    void Command6_Click(); // キャンセル

    QFrame *Picture1 = nullptr; // cover shown while leaving
    QLabel *Label5 = nullptr;
    QListView *List1 = nullptr;
    QFrame *Picture3 = nullptr; // edit panel
    QLabel *Label1 = nullptr;
    std::array<QLabel *, 5> Label2{};   // 0 "秒", 1 level, 2 date, 4 grade code
    std::array<QLineEdit *, 2> Text1{}; // 1 the time
    QScrollBar *VScroll1 = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command6 = nullptr;
    QFrame *Picture10 = nullptr;
    QPushButton *Command4 = nullptr;
    QLabel *WaitNotice = nullptr; // shown while another PC holds the grade file

    QString DateFilter;
    std::int64_t SelectedRecord = 0;

    GradeListModel *model() const { return m_model; }
    // The row that is current in the list; -1 for none.
    int currentRow() const;
    // Whether a dated backup was taken in this session.
    bool backedUp() const { return m_backedUp; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void selectRow(int row);
    void showWaitNotice(bool waiting);
    bool handleOutcome(const RewriteResult &result);

    core::AppState &m_state;
    ui::TwipsLayout m_layout;
    GradeListModel *m_model = nullptr;
    records::GradeRecord m_shown; // the record opened in the panel as it was read
    int m_shownRow = -1;
    bool m_backedUp = false;
};

} // namespace tavoro::teacher
