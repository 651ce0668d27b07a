// The graph panel's controls and the painting of its drawing area.
#include "GraphPanel.h"

#include "ui/Ui.h"

#include <QPainter>

namespace tavoro::menus {

GraphView::GraphView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture12"));
    setAutoFillBackground(true);
    ui::setBackground(this, Qt::white);
}

void GraphView::Cls()
{
    m_blocks.clear();
    update();
}

void GraphView::addBlock(double top, const GraphBlock &block, double baseFontSize)
{
    m_blocks.push_back({top, block, baseFontSize});
    update();
}

void GraphView::draw(QPainter &painter, const QRect &target) const
{
    painter.save();
    painter.setViewport(target);
    painter.setWindow(0, 0, kDesignWidth, kDesignHeight);
    for (const Placed &b : m_blocks)
        DrawGraphBlock(painter, GraphSurface{designSize(), false, b.baseFontSize}, b.top, b.block);
    painter.restore();
}

void GraphView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    draw(painter, rect());
}

namespace {

QListWidget *newList(QWidget *parent, const QString &name)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(name);
    l->setSelectionMode(QAbstractItemView::MultiSelection);
    return l;
}

} // namespace

GraphPanel::GraphPanel(ui::TwipsLayout &layout, QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Picture11"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    ui::setBackground(this, ui::vbColor(0xE0E0E0));

    Picture12 = new GraphView(this);
    Picture12->setAccessibleName(QStringLiteral("グラフの図"));
    layout.place(Picture12, 405, 315, 8355, 8715);
    List2 = newList(this, QStringLiteral("List2"));
    layout.place(List2, 8970, 240, 2955, 8250, 9);
    Command25 =
        ui::newButton(this, QStringLiteral("Command25"), QStringLiteral("他の人のデータを見る"));
    layout.place(Command25, 8940, 180, 2985, 675, 9);
    Label27 = new QLabel(QStringLiteral("ﾚﾍﾞﾙ"), this);
    Label27->setObjectName(QStringLiteral("Label27"));
    layout.place(Label27, 12660, 300, 1605, 375, 9);
    List3 = newList(this, QStringLiteral("List3"));
    List3->setAccessibleName(QStringLiteral("レベル"));
    layout.place(List3, 12690, 690, 1605, 1815, 9);
    Command24[0] = ui::newButton(this, QStringLiteral("Command24_0"), QStringLiteral("表示"));
    layout.place(Command24[0], 12735, 2520, 1605, 825, 10);
    Command24[1] = ui::newButton(this, QStringLiteral("Command24_1"), QStringLiteral("印刷"));
    layout.place(Command24[1], 12720, 3540, 1605, 825, 10);
    Command24[1]->hide();
    Command18 = ui::newButton(this, QStringLiteral("Command18"), QStringLiteral("戻る"));
    layout.place(Command18, 12720, 8100, 1755, 585, 10);
    for (int i = 1; i <= 2; ++i) {
        List4[std::size_t(i)] = new QListWidget(this);
        List4[std::size_t(i)]->setObjectName(QStringLiteral("List4_") + QString::number(i));
        List4[std::size_t(i)]->hide();
    }
}

} // namespace tavoro::menus
