// The windows' list boxes. A list box shows rows it asks for one at a time, only when they
// are painted or read, so a list of thousands of rows costs little until it is looked at.
#pragma once

#include <QListView>
#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>

namespace tavoro::core {

// Where a list box takes its rows from.
class ListRows {
public:
    virtual ~ListRows() = default;
    virtual int count() const = 0;
    // The text of row 0..count() - 1. May work the row out on first use.
    virtual QString text(int row) const = 0;
};

// Rows held as texts.
class TextRows final : public ListRows {
public:
    explicit TextRows(QStringList rows) : m_rows(std::move(rows)) {}
    int count() const override { return int(m_rows.size()); }
    QString text(int row) const override { return m_rows.at(row); }

private:
    QStringList m_rows;
};

class ListBox : public QListView {
    Q_OBJECT
public:
    explicit ListBox(QWidget *parent = nullptr);
    ~ListBox() override;

    int count() const;
    // The text of a row; empty outside 0..count() - 1.
    QString text(int row) const;
    // Every row's text (works out every row).
    QStringList texts() const;

    int currentRow() const;
    // Makes `row` the current and selected row; -1 leaves none.
    void setCurrentRow(int row);
    // The rectangle of a row in the viewport.
    QRect rowRect(int row) const;

    // Replaces the rows; the view starts again at the top with no current row.
    void setRows(std::shared_ptr<const ListRows> rows);
    void setRows(QStringList rows);
    void clear();
    // The source of the rows shown; null when the list is empty.
    std::shared_ptr<const ListRows> rows() const;

Q_SIGNALS:
    void currentRowChanged(int row);
    void rowDoubleClicked(int row);

private:
    class Model;
    Model *m_model;
};

} // namespace tavoro::core
