// List boxes over a row source.
#include "ListBox.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QPainter>
#include <QStyledItemDelegate>

namespace tavoro::core {

class ListBox::Model final : public QAbstractListModel {
public:
    explicit Model(QObject *parent) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() || !m_rows ? 0 : m_rows->count();
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!m_rows || !index.isValid() || index.row() >= m_rows->count())
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return m_rows->text(index.row());
        return {};
    }

    void setRows(std::shared_ptr<const ListRows> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }

    const ListRows *rows() const { return m_rows.get(); }

private:
    std::shared_ptr<const ListRows> m_rows;
};

namespace {

// Draws a row as one line of plain text, the way a list box shows it: no icon, no
// wrapping, cut at the right edge. Much cheaper than the general item painting, which
// lays every row's text out twice.
class RowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group =
            option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        if (selected)
            painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        painter->setPen(
            option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        const QRect text = option.rect.adjusted(kMargin, 0, -kMargin, 0);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QFontMetrics metrics(option.font);
        return {metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 2 * kMargin,
                metrics.height() + 2};
    }

private:
    static constexpr int kMargin = 3;
};

} // namespace

ListBox::ListBox(QWidget *parent) : QListView(parent), m_model(new Model(this))
{
    setModel(m_model);
    setItemDelegate(new RowDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every row has the height of the first: the view never measures the others.
    setUniformItemSizes(true);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { Q_EMIT currentRowChanged(current.row()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { Q_EMIT rowDoubleClicked(index.row()); });
}

ListBox::~ListBox() = default;

int ListBox::count() const
{
    return m_model->rowCount();
}

QString ListBox::text(int row) const
{
    if (row < 0 || row >= count())
        return {};
    return m_model->rows()->text(row);
}

QStringList ListBox::texts() const
{
    QStringList out;
    const int n = count();
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out.append(text(i));
    return out;
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

void ListBox::setRows(std::shared_ptr<const ListRows> rows)
{
    m_model->setRows(std::move(rows));
}

void ListBox::setRows(QStringList rows)
{
    setRows(std::make_shared<TextRows>(std::move(rows)));
}

void ListBox::clear()
{
    setRows(std::shared_ptr<const ListRows>());
}

} // namespace tavoro::core
