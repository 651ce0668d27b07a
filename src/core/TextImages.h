// Texts of labels and buttons drawn once and copied afterwards. Laying out and drawing a
// line of Japanese text costs some tens of microseconds, copying its image one or two; a
// menu with dozens of labels paints them again at every refresh.
#pragma once

#include <QProxyStyle>
#include <QString>

#include <memory>

namespace tavoro::core {

// A style that draws item texts (labels, buttons, radio buttons) and whole buttons like the
// style it wraps, pixel for pixel, but keeps the image of each on a plain background and
// copies it when the same is drawn on the same background again. Anything on more than one
// plain colour, or drawn scaled, is drawn directly.
class TextImageStyle final : public QProxyStyle {
public:
    // Wraps `base` (owned), or the application's default style when null.
    explicit TextImageStyle(QStyle *base = nullptr);
    ~TextImageStyle() override;

    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &palette,
                      bool enabled, const QString &text,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override;

    // Push buttons, radio buttons and check boxes on one plain colour are kept as images
    // too, with their texts.
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;

    // How often a text or button was copied from its kept image, and how often drawn.
    int copies() const;
    int drawn() const;

private:
    class Images;
    std::unique_ptr<Images> m_images;
};

// Makes a TextImageStyle over the default look the application's style.
void useTextImages();

} // namespace tavoro::core
