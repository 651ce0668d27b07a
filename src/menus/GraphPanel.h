// The graph panel of the level menu (Picture11): the drawing area Picture12, the pupil list,
// the level list, the buttons and the two hidden rankings. The level menu owns it and
// handles its clicks; the panel only holds the controls and paints the blocks drawn.
#pragma once

#include "menus/Graph.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <array>
#include <vector>

namespace tavoro::ui {
class TwipsLayout;
}

namespace tavoro::menus {

// The drawing area: keeps the blocks drawn since it was last cleared and paints them in
// twips over its design size.
class GraphView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDesignWidth = 8355;
    static constexpr int kDesignHeight = 8715;

    explicit GraphView(QWidget *parent = nullptr);
    void Cls();
    void addBlock(double top, const GraphBlock &block, double baseFontSize);
    QSizeF designSize() const { return QSizeF(kDesignWidth, kDesignHeight); }

    struct Placed {
        double top = 0;
        GraphBlock block;
        double baseFontSize = 6;
    };
    const std::vector<Placed> &blocks() const { return m_blocks; }

    // Paints the blocks on `painter` over `target` (device coordinates).
    void draw(QPainter &painter, const QRect &target) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<Placed> m_blocks;
};

class GraphPanel : public QFrame {
    Q_OBJECT
public:
    GraphPanel(ui::TwipsLayout &layout, QWidget *parent);

    GraphView *Picture12 = nullptr;
    QListWidget *List2 = nullptr;             // pupils, several can be selected
    QPushButton *Command25 = nullptr;         // "他の人のデータを見る"
    QLabel *Label27 = nullptr;                // "ﾚﾍﾞﾙ"
    QListWidget *List3 = nullptr;             // levels, several can be selected
    std::array<QPushButton *, 2> Command24{}; // "表示", "印刷"
    QPushButton *Command18 = nullptr;         // "戻る"
    std::array<QListWidget *, 3> List4{};     // 1 time ranking, 2 points ranking (hidden)
};

} // namespace tavoro::menus
