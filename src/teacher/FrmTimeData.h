// The criteria editor FrmTimeData: the criteria file as a grid with a floating edit box,
// the explanation of the current column, and beside it how the recorded times of the
// current level are distributed, so that the teacher can set realistic times.
#pragma once

#include "teacher/CriteriaGrid.h"
#include "teacher/Distribution.h"
#include "ui/ListBox.h"
#include "ui/Ui.h"

#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

namespace tavoro::core {
struct AppState;
}

namespace tavoro::teacher {

class FrmTimeData : public QWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 13;

    explicit FrmTimeData(core::AppState &state, QWidget *parent = nullptr);

    void Form_Load();
    void Form_Activate();
    void Command2_Click(); // 元に戻す
    void Command3_Click(); // 更新記録
    void Command4_Click(); // 戻る
    void Command7_Click(); // the distribution of the current level
    void MSFlexGrid1_Click(int row, int col);
    // Key-down in the edit box; true when the key's own action in the box is suppressed.
    bool Gridinputtext_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // A typed character; true when it is not to be inserted.
    bool Gridinputtext_KeyPress(QChar c);
    void Gridinputtext_Change();
    void TextToGrid転送();
    void GridToText転送();
    void PlaceEditBox();

    // The column explanation shown in Label3 for a grid column.
    static QString ColumnExplanation(int col);

    QFrame *Picture1 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label3 = nullptr;
    QTableWidget *MSFlexGrid1 = nullptr;
    QLineEdit *Gridinputtext = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    QLabel *Label1 = nullptr;
    QFrame *Picture3 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label9 = nullptr;
    ui::ListBox *List3 = nullptr;
    QLabel *Label10 = nullptr;
    ui::ListBox *List4 = nullptr;
    QFrame *Picture6 = nullptr;
    QLabel *Label8 = nullptr;

    int DataChanged = 0;
    int LevelLineCount = 0;
    int DistributionLevel = 0;

    // How often the grade file was read for the distributions (it is read again only when
    // it has changed).
    int gradeFileReads() const { return m_gradeFileReads; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void loadGrid();
    void layoutGrid();
    void listFonts();
    bool save();
    void moveTo(int row, int col);
    std::vector<CriteriaRow> gridRows() const;
    QTableWidgetItem *cell(int row, int col);
    void setCellText(int row, int col, const QString &text, bool changed);

    core::AppState &m_state;
    ui::TwipsLayout m_layout;
    int m_selectionBottom = 1; // the bottom row of a copy down from the current cell
    bool m_settingText = false;
    // The distributions of the grade file as last read, and what the file was then.
    TimeDistributions m_distributions;
    bool m_haveDistributions = false;
    qint64 m_gradeSize = -1;
    QDateTime m_gradeModified;
    int m_gradeFileReads = 0;
    // The criteria file could not be read (m_fileMissing: it is not there) when the grid was
    // last filled: writing over it is asked first.
    bool m_fileUnread = false;
    bool m_fileMissing = false;
};

} // namespace tavoro::teacher
