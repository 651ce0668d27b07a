// Window helpers: colours, fonts, twips layout, clickable labels.
#include "Ui.h"
#include "ImageCache.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleOption>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace tavoro::core {
namespace {

// Everything a scroll bar's look is drawn from.
struct ScrollBarLook {
    QSize size;
    int state = 0;
    int subControls = 0;
    int activeSubControls = 0;
    int orientation = 0;
    int minimum = 0;
    int maximum = 0;
    int sliderPosition = 0;
    int sliderValue = 0;
    int singleStep = 0;
    int pageStep = 0;
    bool upsideDown = false;
    int direction = 0;
    qint64 palette = 0; // the palette's cache key
    int format = 0;
    qreal ratio = 1;

    auto tied() const
    {
        return std::tie(state, subControls, activeSubControls, orientation, minimum, maximum,
                        sliderPosition, sliderValue, singleStep, pageStep, upsideDown,
                        direction, palette, format, ratio);
    }
    bool operator==(const ScrollBarLook &o) const { return size == o.size && tied() == o.tied(); }
};

struct ScrollBarLookHash {
    std::size_t operator()(const ScrollBarLook &k) const
    {
        return qHashMulti(0, k.size.width(), k.size.height(), k.state, k.activeSubControls,
                          k.minimum, k.maximum, k.sliderPosition, k.pageStep, k.palette);
    }
};

// The classic look, with the grooves of scroll bars in one solid grey between the light and
// the mid colour: their dither pattern of two colours costs a hundred times as much to
// paint as a plain fill. The grey keeps the groove apart from the slider.
//
// A scroll bar of this look covers its whole rectangle with opaque paint, so it is drawn once
// into an image of its own and copied from there while its look stays the same: a window
// full of lists repaints a handful of unchanged scroll bars at every refresh.
class PlainStyle final : public QProxyStyle {
public:
    explicit PlainStyle(QStyle *classic) : QProxyStyle(classic) {}

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget) const override
    {
        if (control == CC_ScrollBar) {
            if (const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option)) {
                if (drawKept(*bar, painter, widget))
                    return;
            }
        }
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (element == CE_ScrollBarAddPage || element == CE_ScrollBarSubPage) {
            const QPalette &p = option->palette;
            const bool pressed = option->state & State_Sunken;
            painter->fillRect(option->rect, pressed ? mean(p.shadow().color(), p.dark().color())
                                                    : mean(p.light().color(), p.mid().color()));
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

private:
    // Copies the scroll bar from its kept image, drawn first when there is none; false when
    // it must be drawn directly (a painter that is scaled, translucent or not on an image).
    bool drawKept(const QStyleOptionSlider &bar, QPainter *painter, const QWidget *widget) const
    {
        // Disabled arrows are etched with the painter's own state: those are drawn directly.
        if (!(bar.state & State_Enabled) || bar.maximum <= bar.minimum || bar.rect.isEmpty())
            return false;
        const QImage *painted = unscaledImageTarget(*painter);
        if (!painted)
            return false;
        const QImage &target = *painted;
        ScrollBarLook key;
        key.size = bar.rect.size();
        key.state = int(bar.state);
        key.subControls = int(bar.subControls);
        key.activeSubControls = int(bar.activeSubControls);
        key.orientation = int(bar.orientation);
        key.minimum = bar.minimum;
        key.maximum = bar.maximum;
        key.sliderPosition = bar.sliderPosition;
        key.sliderValue = bar.sliderValue;
        key.singleStep = bar.singleStep;
        key.pageStep = bar.pageStep;
        key.upsideDown = bar.upsideDown;
        key.direction = int(bar.direction);
        key.palette = bar.palette.cacheKey();
        key.format = int(target.format());
        key.ratio = target.devicePixelRatio();
        if (const QImage *image = m_bars.find(key)) {
            if (image->isNull())
                return false; // not opaque: always drawn
            painter->drawImage(bar.rect.topLeft(), *image);
            return true;
        }
        QImage image(bar.rect.size() * key.ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(key.ratio);
        image.fill(Qt::transparent);
        QStyleOptionSlider local = bar;
        local.rect.moveTo(0, 0);
        {
            QPainter p(&image);
            p.setRenderHints(painter->renderHints());
            p.setFont(painter->font());
            QProxyStyle::drawComplexControl(CC_ScrollBar, &local, &p, widget);
        }
        if (!opaque(image)) {
            m_bars.insert(key, QImage());
            return false;
        }
        image = image.convertToFormat(target.format());
        painter->drawImage(bar.rect.topLeft(), image);
        m_bars.insert(key, std::move(image));
        return true;
    }

    static bool opaque(const QImage &image)
    {
        for (int y = 0; y < image.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(line[x]) != 255)
                    return false;
            }
        }
        return true;
    }

    mutable ImageCache<ScrollBarLook, QImage, ScrollBarLookHash> m_bars{64, 4 << 20};

    static QColor mean(const QColor &a, const QColor &b)
    {
        return QColor((a.red() + b.red() + 1) / 2, (a.green() + b.green() + 1) / 2,
                      (a.blue() + b.blue() + 1) / 2);
    }
};

} // namespace

void usePlainStyle(QWidget *bar)
{
    static QPointer<QStyle> blocks;
    if (!blocks) {
        if (QStyle *classic = QStyleFactory::create(QStringLiteral("Windows")))
            blocks = new PlainStyle(classic);
        if (blocks)
            blocks->setParent(QCoreApplication::instance());
    }
    if (blocks)
        bar->setStyle(blocks);
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
    QFont f(QStringLiteral("Noto Sans CJK JP"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(1, pixelSize));
    f.setBold(bold);
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

} // namespace tavoro::core
