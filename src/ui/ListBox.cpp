// List boxes over a list of texts, and the keys that click a list.
#include "ListBox.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QItemSelectionModel>
#include <QPointer>
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

namespace {

// Lets the view handle a key press itself, then compares its current row and selection with
// what they were before.
class KeyClick final : public QObject {
public:
    KeyClick(QAbstractItemView *view, std::function<void(int)> click)
        : QObject(view), m_view(view), m_click(std::move(click))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_view || event->type() != QEvent::KeyPress || m_inside)
            return false;
        QItemSelectionModel *selection = m_view->selectionModel();
        if (!selection)
            return false;
        const QPersistentModelIndex before = m_view->currentIndex();
        const QModelIndexList selectedBefore = selection->selectedIndexes();
        m_inside = true;
        // QObject::event is public: the view's own key handling, run now rather than after
        // the filter, so that its result can be seen. Whether the key was taken (accepted)
        // stays with the event: a key the list does not use goes on to the window, as the
        // Enter key to its default button.
        QPointer<QAbstractItemView> view(m_view);
        static_cast<QObject *>(m_view)->event(event);
        if (!view)
            return true;
        m_inside = false;
        QItemSelectionModel *after = m_view->selectionModel();
        const QModelIndex current = m_view->currentIndex();
        if (after && (current != QModelIndex(before) || after->selectedIndexes() != selectedBefore))
            m_click(current.isValid() ? current.row() : -1);
        return true;
    }

private:
    QAbstractItemView *m_view;
    std::function<void(int)> m_click;
    bool m_inside = false;
};

} // namespace

void ClickOnKeys(QAbstractItemView *view, std::function<void(int row)> click)
{
    view->installEventFilter(new KeyClick(view, std::move(click)));
}

} // namespace tavoro::ui
