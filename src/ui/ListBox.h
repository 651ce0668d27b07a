// The windows' list boxes: one line of plain text a row, set as a whole list of texts.
#pragma once

#include <QListView>
#include <QRect>
#include <QString>
#include <QStringList>

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

} // namespace tavoro::ui
