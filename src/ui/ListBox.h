// The windows' list boxes: one line of plain text a row, set as a whole list of texts; and
// the Click of a list that the keys fire as well as the mouse.
#pragma once

#include <QListView>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

class QAbstractItemView;
class QStringListModel;

namespace tavoro::ui {

class ListBox : public QListView {
    Q_OBJECT
public:
    explicit ListBox(QWidget *parent = nullptr);

    int count() const;
    // The text of a row; empty outside 0..count() - 1.
    QString text(int row) const;
    QStringList texts() const;

    int currentRow() const;
    // Makes `row` the current and selected row; -1 leaves none.
    void setCurrentRow(int row);
    // The rectangle of a row in the viewport.
    QRect rowRect(int row) const;

    // Replaces the rows; the view starts again at the top with no current row.
    void setRows(const QStringList &rows);
    void clear();

Q_SIGNALS:
    void currentRowChanged(int row);
    void rowDoubleClicked(int row);

private:
    QStringListModel *m_model;
};

// In the list control these windows were designed for, moving the selection with the keys
// (arrows, Page Up and Down, Home, End, a typed letter, the space bar of a list where
// several lines can be selected) fires the list's Click as a mouse click does. Runs `click`
// with the current row (-1 for none) after every key press that moved the current row or
// changed the selection of `view`; connect the mouse's clicks as before.
void ClickOnKeys(QAbstractItemView *view, std::function<void(int row)> click);

} // namespace tavoro::ui
