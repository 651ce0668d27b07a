// List boxes over a row source.
#include "ListBox.h"
#include "ImageCache.h"
#include "Ui.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace tavoro::core {

class ListBox::Model final : public QAbstractListModel {
public:
    explicit Model(QObject *parent) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_count;
    }

    // The view asks for the index of every row whenever it lays the rows out: this answers
    // without the general checks.
    QModelIndex index(int row, int column = 0, const QModelIndex &parent = {}) const override
    {
        if (column != 0 || unsigned(row) >= unsigned(m_count) || parent.isValid())
            return {};
        return createIndex(row, 0);
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_count)
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return m_rows->text(index.row());
        return {};
    }

    // Returns true when the rows were only replaced, as rows of the same count: the view
    // then keeps its layout, which for thousands of rows costs more than painting them.
    bool setRows(std::shared_ptr<const ListRows> rows)
    {
        const int before = m_count;
        const int after = rows ? rows->count() : 0;
        if (before > 0 && after == before) {
            m_rows = std::move(rows);
            Q_EMIT dataChanged(index(0), index(before - 1), {Qt::DisplayRole});
            return true;
        }
        beginResetModel();
        m_rows = std::move(rows);
        m_count = after;
        endResetModel();
        return false;
    }

    const std::shared_ptr<const ListRows> &rows() const { return m_rows; }

private:
    std::shared_ptr<const ListRows> m_rows;
    int m_count = 0; // the rows' count, which a source gives once
};

namespace {

// Draws a row as one line of plain text, the way a list box shows it: no icon, no
// wrapping, cut at the right edge. A row is drawn once into an image of its own and copied
// from there afterwards: drawing text costs some microseconds a character, copying the image
// a fraction of that, and a menu shows the same rows again and again.
class RowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group =
            option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        const QBrush background =
            option.palette.brush(group, selected ? QPalette::Highlight : QPalette::Base);
        const QColor pen =
            option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
        const QString text = index.data(Qt::DisplayRole).toString();
        if (background.style() != Qt::SolidPattern || !background.isOpaque()) {
            if (selected)
                painter->fillRect(option.rect, background);
            drawRow(painter, option.rect, option.font, pen, text);
            return;
        }
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const RowImageKey key{text,       option.rect.size(),     background.color().rgba(),
                              pen.rgba(), m_fonts.of(option.font), ratio};
        const QPixmap *image = m_images.find(key);
        if (!image) {
            QPixmap made(option.rect.size() * ratio);
            made.setDevicePixelRatio(ratio);
            made.fill(background.color());
            QPainter p(&made);
            drawRow(&p, QRect(QPoint(0, 0), option.rect.size()), option.font, pen, text);
            p.end();
            image = m_images.insert(key, std::move(made));
        }
        painter->drawPixmap(option.rect.topLeft(), *image);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QFontMetrics metrics(option.font);
        return {metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 2 * kMargin,
                metrics.height() + 2};
    }

private:
    static constexpr int kMargin = 3;

    static void drawRow(QPainter *painter, const QRect &rect, const QFont &font,
                        const QColor &pen, const QString &text)
    {
        painter->setPen(pen);
        painter->setFont(font);
        painter->drawText(rect.adjusted(kMargin, 0, -kMargin, 0),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }

    // A list shows a few dozen rows at a time; these are its latest shown.
    mutable RowImages m_images{256, 2 << 20};
    mutable FontKeys m_fonts;
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
    // Classic scroll bars: the default look paints one for longer than all the rows.
    usePlainStyle(verticalScrollBar());
    usePlainStyle(horizontalScrollBar());
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
    if (m_model->setRows(std::move(rows))) {
        // As after a reset: no current row, nothing selected, the first row at the top.
        selectionModel()->reset();
        scrollToTop();
    }
}

void ListBox::setRows(QStringList rows)
{
    setRows(std::make_shared<TextRows>(std::move(rows)));
}

void ListBox::clear()
{
    setRows(std::shared_ptr<const ListRows>());
}

std::shared_ptr<const ListRows> ListBox::rows() const
{
    return m_model->rows();
}

} // namespace tavoro::core
