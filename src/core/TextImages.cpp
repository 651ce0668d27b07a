#include "TextImages.h"
#include "ImageCache.h"

#include <QApplication>
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

#include <cmath>
#include <optional>
#include <tuple>

namespace tavoro::core {
namespace {

// What an item text looks like: equal keys draw equal pixels.
struct TextKey {
    QString text;
    QSize size;
    int flags = 0;
    bool enabled = true;
    int role = 0;
    QRgb pen = 0;        // the painter's pen colour
    QRgb roleColour = 0; // the palette's colour of the text role
    QRgb background = 0; // the colour under the text
    QRgb painterBackground = 0;
    QString font;
    int direction = 0;
    int format = 0;
    int dpi = 0; // the resolution that turns the font's points into pixels

    bool operator==(const TextKey &o) const
    {
        return size == o.size && flags == o.flags && enabled == o.enabled && role == o.role &&
               pen == o.pen && roleColour == o.roleColour && background == o.background &&
               painterBackground == o.painterBackground &&
               direction == o.direction && format == o.format && dpi == o.dpi && text == o.text &&
               font == o.font;
    }
};

struct TextKeyHash {
    std::size_t operator()(const TextKey &k) const
    {
        return qHashMulti(0, k.text, k.size.width(), k.size.height(), k.flags, k.pen,
                          k.background);
    }
};

// What a push button looks like: equal keys draw equal pixels.
struct ButtonKey {
    int element = 0; // push button, radio button or check box
    QString text;
    QSize size;
    int state = 0;
    int features = 0;
    qint64 icon = 0;
    QSize iconSize;
    qint64 palette = 0; // the palette's cache key
    QString font;
    int direction = 0;
    QRgb background = 0; // the colour under the button
    int hints = 0;
    int format = 0;
    int dpi = 0;

    auto tied() const
    {
        return std::tie(element, state, features, icon, palette, direction, background, hints,
                        format, dpi);
    }
    bool operator==(const ButtonKey &o) const
    {
        return size == o.size && iconSize == o.iconSize && tied() == o.tied() &&
               text == o.text && font == o.font;
    }
};

struct ButtonKeyHash {
    std::size_t operator()(const ButtonKey &k) const
    {
        return qHashMulti(0, k.text, k.size.width(), k.size.height(), k.state, k.palette,
                          k.background);
    }
};

// The one colour of every pixel of `r` in `image`, if they are all the same and opaque.
std::optional<QRgb> plainColour(const QImage &image, const QRect &r)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        break;
    default:
        return std::nullopt;
    }
    const QRgb first = reinterpret_cast<const QRgb *>(image.constScanLine(r.top()))[r.left()];
    if (qAlpha(first) != 255)
        return std::nullopt;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y)) + r.left();
        for (int x = 0; x < r.width(); ++x) {
            if (line[x] != first)
                return std::nullopt;
        }
    }
    return first;
}

// The image a painter paints on, and the part of it that `rect` covers, when the painter
// draws onto it unscaled, opaque and with whole-pixel offsets; nullptr otherwise.
const QImage *plainTarget(const QPainter *painter, const QRect &rect, QRect *onTarget)
{
    const QPaintEngine *engine = painter->paintEngine();
    const QPaintDevice *device = engine ? engine->paintDevice() : nullptr;
    const QTransform &transform = painter->deviceTransform();
    if (!device || device->devType() != QInternal::Image || !painter->device() ||
        transform.type() > QTransform::TxTranslate ||
        transform.dx() != std::round(transform.dx()) ||
        transform.dy() != std::round(transform.dy()) || painter->opacity() != 1.0 ||
        painter->compositionMode() != QPainter::CompositionMode_SourceOver)
        return nullptr;
    const auto *target = static_cast<const QImage *>(device);
    // Of a rectangle partly outside the image (a column scrolled half out of the window),
    // the part inside it.
    const QRect mapped = transform.mapRect(rect);
    *onTarget = mapped.intersected(target->rect());
    if (mapped.size() != rect.size() || onTarget->isEmpty())
        return nullptr;
    return target;
}

// An image of `size` in the target's format, all of `colour`, with the resolution of what
// `painter` paints on: fonts take their pixel sizes from it.
QImage plainImage(QSize size, const QImage &target, QRgb colour, const QPainter *painter)
{
    QImage image(size, target.format());
    image.fill(colour);
    const QPaintDevice *logical = painter->device();
    image.setDotsPerMeterX(qRound(logical->logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logical->logicalDpiY() / 0.0254));
    return image;
}

// Gives `p` the font, pen, brush, background, direction and hints of `from`.
void paintLike(QPainter &p, const QPainter &from)
{
    p.setFont(from.font());
    p.setPen(from.pen());
    p.setBrush(from.brush());
    p.setBackground(from.background());
    p.setLayoutDirection(from.layoutDirection());
    p.setRenderHints(from.renderHints());
}

} // namespace

class TextImageStyle::Images {
public:
    ImageCache<TextKey, QImage, TextKeyHash> kept{1000, 16 << 20};
    ImageCache<ButtonKey, QImage, ButtonKeyHash> buttons{200, 8 << 20};
    FontKeys fonts;
    int copies = 0;
    int drawn = 0;
};

TextImageStyle::TextImageStyle(QStyle *base)
    : QProxyStyle(base), m_images(std::make_unique<Images>())
{
}

TextImageStyle::~TextImageStyle() = default;

int TextImageStyle::copies() const
{
    return m_images->copies;
}

int TextImageStyle::drawn() const
{
    return m_images->drawn;
}

void TextImageStyle::drawItemText(QPainter *painter, const QRect &rect, int flags,
                                  const QPalette &palette, bool enabled, const QString &text,
                                  QPalette::ColorRole textRole) const
{
    const auto direct = [&] {
        ++m_images->drawn;
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
    };
    if (text.isEmpty() || rect.isEmpty())
        return;
    // The image being painted: a window's backing store, or an image or pixmap being drawn.
    QRect onTarget;
    const QImage *painted = plainTarget(painter, rect, &onTarget);
    if (!painted) {
        direct();
        return;
    }
    const QImage &target = *painted;
    const std::optional<QRgb> background = plainColour(target, onTarget);
    if (!background) {
        direct();
        return;
    }

    TextKey key;
    key.text = text;
    key.size = rect.size();
    key.flags = flags;
    key.enabled = enabled;
    key.role = int(textRole);
    key.pen = painter->pen().color().rgba();
    key.roleColour = textRole == QPalette::NoRole ? 0 : palette.color(textRole).rgba();
    key.background = *background;
    key.painterBackground = painter->background().color().rgba();
    key.font = m_images->fonts.of(painter->font());
    key.direction = int(painter->layoutDirection());
    key.format = int(target.format());
    key.dpi = painter->device()->logicalDpiX() * 10000 + painter->device()->logicalDpiY();
    if (const QImage *image = m_images->kept.find(key)) {
        if (image->isNull()) { // a text wider than its rectangle: always drawn
            direct();
            return;
        }
        ++m_images->copies;
        painter->drawImage(rect.topLeft(), *image);
        return;
    }

    // Drawn on the same plain background in an image of its own: the same pixels.
    const QRect local(QPoint(0, 0), rect.size());
    QImage image = plainImage(rect.size(), target, *background, painter);
    QPainter p(&image);
    paintLike(p, *painter);
    QProxyStyle::drawItemText(&p, local, flags, palette, enabled, text, textRole);
    const bool fits = local.contains(p.fontMetrics().boundingRect(local, flags, text));
    p.end();
    if (!fits) {
        m_images->kept.insert(key, QImage());
        direct();
        return;
    }
    ++m_images->drawn;
    painter->drawImage(rect.topLeft(), image);
    m_images->kept.insert(key, std::move(image));
}

void TextImageStyle::drawControl(ControlElement element, const QStyleOption *option,
                                 QPainter *painter, const QWidget *widget) const
{
    const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
    QRect onTarget;
    const bool kept =
        element == CE_PushButton || element == CE_RadioButton || element == CE_CheckBox;
    const QImage *target = kept && button && !button->rect.isEmpty()
                               ? plainTarget(painter, button->rect, &onTarget)
                               : nullptr;
    const std::optional<QRgb> background =
        target ? plainColour(*target, onTarget) : std::nullopt;
    if (!background) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    ButtonKey key;
    key.element = int(element);
    key.text = button->text;
    key.size = button->rect.size();
    key.state = int(button->state);
    key.features = int(button->features);
    key.icon = button->icon.cacheKey();
    key.iconSize = button->iconSize;
    key.palette = button->palette.cacheKey();
    key.font = m_images->fonts.of(painter->font());
    key.direction = int(button->direction);
    key.background = *background;
    key.hints = int(painter->renderHints());
    key.format = int(target->format());
    key.dpi = painter->device()->logicalDpiX() * 10000 + painter->device()->logicalDpiY();
    if (const QImage *image = m_images->buttons.find(key)) {
        ++m_images->copies;
        painter->drawImage(button->rect.topLeft(), *image);
        return;
    }
    // Drawn on the same plain background in an image of its own: the same pixels.
    QImage image = plainImage(button->rect.size(), *target, *background, painter);
    QStyleOptionButton local = *button;
    local.rect.moveTo(0, 0);
    {
        QPainter p(&image);
        paintLike(p, *painter);
        QProxyStyle::drawControl(element, &local, &p, widget);
    }
    ++m_images->drawn;
    painter->drawImage(button->rect.topLeft(), image);
    m_images->buttons.insert(key, std::move(image));
}

void useTextImages()
{
    if (dynamic_cast<TextImageStyle *>(QApplication::style()))
        return;
    QApplication::setStyle(new TextImageStyle(QStyleFactory::create(QApplication::style()->name())));
}

} // namespace tavoro::core
