// Window helpers: colours, fonts, twips layout, clickable labels.
#include "Ui.h"

#include "platform/Fonts.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace tavoro::ui {

void pressButtonsOnEnter(QWidget *window)
{
    // A push button with autoDefault set clicks on Enter and Return when it has the focus.
    for (QPushButton *button : window->findChildren<QPushButton *>())
        button->setAutoDefault(true);
}

void setProgress(QProgressBar *bar, int value)
{
    const bool enabled = bar->updatesEnabled();
    bar->setUpdatesEnabled(false);
    bar->setValue(value);
    bar->setUpdatesEnabled(enabled); // schedules the paint
}

QColor vbColor(std::uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

void setBackground(QWidget *widget, QColor color)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, color);
    pal.setColor(QPalette::Base, color);
    pal.setColor(QPalette::Button, color);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

void setForeground(QWidget *widget, QColor color)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::Text, color);
    pal.setColor(QPalette::ButtonText, color);
    widget->setPalette(pal);
}

QFont gothicFont(int pixelSize, bool bold)
{
    QFont f = platform::gothicFont();
    f.setPixelSize(std::max(1, pixelSize));
    f.setBold(bold);
    return f;
}

QFont alignedListFont(int pixelSize)
{
    QFont f = platform::alignedGothicFont();
    f.setPixelSize(std::max(1, pixelSize));
    return f;
}

QLabel *newLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QPushButton *newButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QFrame *newPanel(QWidget *parent, const QString &name)
{
    auto *f = new QFrame(parent);
    f->setObjectName(name);
    return f;
}

TwipsLayout::TwipsLayout(QWidget *host, int designWidth, int designHeight)
    : m_host(host), m_designWidth(designWidth), m_designHeight(designHeight)
{
}

void TwipsLayout::updateScale()
{
    const QSize size = m_host->size();
    if (size.width() <= 0 || size.height() <= 0)
        return;
    m_scale =
        std::min(double(size.width()) / m_designWidth, double(size.height()) / m_designHeight);
    m_origin = QPoint(int((size.width() - m_designWidth * m_scale) / 2),
                      int((size.height() - m_designHeight * m_scale) / 2));
}

int TwipsLayout::px(double twips) const
{
    return int(std::lround(twips * m_scale));
}

int TwipsLayout::fontPixels(double points) const
{
    return std::max(1, int(std::lround(points * 20.0 * m_scale)));
}

QRect TwipsLayout::rect(int left, int top, int width, int height) const
{
    const int l = px(left);
    const int t = px(top);
    return QRect(l, t, px(left + width) - l, px(top + height) - t);
}

TwipsLayout::Item *TwipsLayout::find(QWidget *widget)
{
    for (Item &item : m_items)
        if (item.widget == widget)
            return &item;
    return nullptr;
}

void TwipsLayout::applyItem(const Item &item) const
{
    if (!item.widget)
        return;
    QRect r = rect(item.design.x(), item.design.y(), item.design.width(), item.design.height());
    if (item.widget->parentWidget() == m_host)
        r.translate(m_origin);
    item.widget->setGeometry(r);
    if (item.fontPoints > 0)
        item.widget->setFont(gothicFont(fontPixels(item.fontPoints), item.bold));
}

void TwipsLayout::place(QWidget *widget, int left, int top, int width, int height,
                        double fontPoints, bool bold)
{
    updateScale();
    Item *item = find(widget);
    if (!item) {
        // Widgets deleted meanwhile leave null entries; drop them before growing.
        m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                                     [](const Item &i) { return i.widget.isNull(); }),
                      m_items.end());
        m_items.push_back({widget, {}, 0, false});
        item = &m_items.back();
    }
    item->design = QRect(left, top, width, height);
    item->fontPoints = fontPoints;
    item->bold = bold;
    applyItem(*item);
}

void TwipsLayout::move(QWidget *widget, int left, int top)
{
    if (Item *item = find(widget)) {
        item->design.moveTo(left, top);
        applyItem(*item);
    }
}

void TwipsLayout::resize(QWidget *widget, int width, int height)
{
    if (Item *item = find(widget)) {
        item->design.setSize(QSize(width, height));
        applyItem(*item);
    }
}

void TwipsLayout::setFontPoints(QWidget *widget, double fontPoints, bool bold)
{
    if (Item *item = find(widget)) {
        item->fontPoints = fontPoints;
        item->bold = bold;
        applyItem(*item);
    }
}

void TwipsLayout::forget(QWidget *widget)
{
    m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                                 [widget](const Item &i) { return i.widget == widget; }),
                  m_items.end());
}

void TwipsLayout::apply()
{
    updateScale();
    for (const Item &item : m_items)
        applyItem(item);
}

QRect TwipsLayout::designRect(QWidget *widget) const
{
    for (const Item &item : m_items)
        if (item.widget == widget)
            return item.design;
    return {};
}

ClickableLabel::ClickableLabel(QWidget *parent) : QLabel(parent) {}

void ClickableLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (wasPressed && event->button() == Qt::LeftButton && isEnabled() &&
        rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && isEnabled())
        Q_EMIT doubleClicked();
}

} // namespace tavoro::ui
