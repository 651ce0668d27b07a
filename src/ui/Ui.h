// Small helpers every window uses: colours written &HBBGGRR&, the Japanese Gothic font,
// design twips scaled to the window, and labels that can be clicked.
#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace tavoro::ui {

// Lets every push button of `window` be pressed with Enter as well as Space while it has
// the focus (outside a dialog a push button takes Space only).
void pressButtonsOnEnter(QWidget *window);

// Moves a progress bar on without painting it at once, as QProgressBar::setValue does: it is
// painted with the rest of the window when window events next run. The level menu moves two
// bars through every level at each refresh; painting each step took 8 of its 51 ms
// (35 levels, 5000 pupils).
void setProgress(QProgressBar *bar, int value);

// A colour written &HBBGGRR& (blue, green, red bytes).
QColor vbColor(std::uint32_t bgr);

// Sets the background colour of a widget (filled, for labels and panels).
void setBackground(QWidget *widget, QColor color);
void setForeground(QWidget *widget, QColor color);

// The Japanese Gothic font of the windows at a pixel size.
QFont gothicFont(int pixelSize, bool bold = false);

// A font whose full-width characters are exactly two half-width ones, so that list lines
// aligned with spaces and full-width spaces keep their columns straight.
QFont alignedListFont(int pixelSize);

// Controls made with their object names, as the windows name every control.
QLabel *newLabel(QWidget *parent, const QString &name, const QString &text = QString());
QPushButton *newButton(QWidget *parent, const QString &name, const QString &text);
QFrame *newPanel(QWidget *parent, const QString &name);

// Turns design twips into pixels. The design is 15360 x 11520 twips (1024 x 768 pixels at
// 15 twips a pixel); the scale fills the window while keeping the proportions, and the
// design area is centred in it.
class TwipsLayout {
public:
    explicit TwipsLayout(QWidget *host, int designWidth = 15360, int designHeight = 11520);

    // Places `widget` at the design rectangle (relative to its parent; only children of the
    // host are offset to the centred design area). `fontPoints` > 0 also sets its font.
    void place(QWidget *widget, int left, int top, int width, int height, double fontPoints = 0,
               bool bold = false);
    // Changes the remembered design rectangle or font of a placed widget.
    void move(QWidget *widget, int left, int top);
    void resize(QWidget *widget, int width, int height);
    void setFontPoints(QWidget *widget, double fontPoints, bool bold = false);
    void forget(QWidget *widget);

    // Re-applies every placement for the host's current size. Windows call it from
    // resizeEvent.
    void apply();

    double scale() const { return m_scale; }
    int px(double twips) const;
    int fontPixels(double points) const;
    QRect rect(int left, int top, int width, int height) const;
    // The design rectangle a widget was placed at.
    QRect designRect(QWidget *widget) const;

private:
    struct Item {
        QPointer<QWidget> widget;
        QRect design;
        double fontPoints;
        bool bold;
    };
    Item *find(QWidget *widget);
    void applyItem(const Item &item) const;
    void updateScale();

    QWidget *m_host;
    int m_designWidth;
    int m_designHeight;
    double m_scale = 1.0 / 15.0;
    QPoint m_origin;
    std::vector<Item> m_items;
};

// A label that reports clicks and double clicks (the windows' clickable captions and the
// drill's number panel).
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

} // namespace tavoro::ui
