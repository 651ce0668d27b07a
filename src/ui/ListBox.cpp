// List boxes over a list of texts.
#include "ListBox.h"

#include <QItemSelectionModel>
#include <QStringListModel>

namespace tavoro::ui {

ListBox::ListBox(QWidget *parent) : QListView(parent), m_model(new QStringListModel(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every row is one line of the same font: the view need not measure each.
    setUniformItemSizes(true);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { Q_EMIT currentRowChanged(current.row()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { Q_EMIT rowDoubleClicked(index.row()); });
}

int ListBox::count() const
{
    return m_model->rowCount();
}

QString ListBox::text(int row) const
{
    if (row < 0 || row >= count())
        return {};
    return m_model->index(row).data().toString();
}

QStringList ListBox::texts() const
{
    return m_model->stringList();
}

int ListBox::currentRow() const
{
    return currentIndex().row();
}

void ListBox::setCurrentRow(int row)
{
    if (row < 0 || row >= count()) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(m_model->index(row), QItemSelectionModel::ClearAndSelect);
}

QRect ListBox::rowRect(int row) const
{
    return visualRect(m_model->index(row));
}

void ListBox::setRows(const QStringList &rows)
{
    m_model->setStringList(rows); // a reset: no current row
    scrollToTop();
}

void ListBox::clear()
{
    m_model->setStringList({});
}

} // namespace tavoro::ui
