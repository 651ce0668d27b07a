// Images drawn once and kept: list rows and item texts, by what they show.
#pragma once

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <list>
#include <unordered_map>
#include <utility>

namespace tavoro::core {

// The memory an image takes.
inline qint64 imageBytes(const QImage &image)
{
    return image.sizeInBytes();
}
inline qint64 imageBytes(const QPixmap &pixmap)
{
    return qint64(pixmap.width()) * pixmap.height() * std::max(1, pixmap.depth() / 8);
}

// Keeps images by key, up to `limit` of them and `byteLimit` bytes of their memory; the one
// shown longest ago goes first. The latest one is always kept.
template <typename K, typename Image, typename Hash> class ImageCache {
public:
    using Key = K;

    explicit ImageCache(int limit, qint64 byteLimit = 8 << 20)
        : m_limit(std::max(1, limit)), m_byteLimit(byteLimit)
    {
    }

    // The image kept under `key`, or nullptr; a found image counts as just shown.
    const Image *find(const Key &key)
    {
        const auto it = m_byKey.find(key);
        if (it == m_byKey.end())
            return nullptr;
        m_order.splice(m_order.begin(), m_order, it->second);
        return &it->second->second;
    }

    // Keeps `image` under `key` (which must not be kept yet) and returns it.
    const Image *insert(const Key &key, Image image)
    {
        m_bytes += imageBytes(image);
        m_order.emplace_front(key, std::move(image));
        m_byKey.emplace(key, m_order.begin());
        while (m_byKey.size() > 1 && (int(m_byKey.size()) > m_limit || m_bytes > m_byteLimit)) {
            m_bytes -= imageBytes(m_order.back().second);
            m_byKey.erase(m_order.back().first);
            m_order.pop_back();
        }
        return &m_order.front().second;
    }

    int size() const { return int(m_byKey.size()); }
    qint64 bytes() const { return m_bytes; }

private:
    using Order = std::list<std::pair<Key, Image>>; // the latest shown first
    int m_limit;
    qint64 m_byteLimit;
    qint64 m_bytes = 0;
    Order m_order;
    std::unordered_map<Key, typename Order::iterator, Hash> m_byKey;
};

// A font's description (QFont::key()), worked out again only when the font changes.
class FontKeys {
public:
    const QString &of(const QFont &font)
    {
        if (!m_known || font != m_font || font.resolveMask() != m_font.resolveMask()) {
            m_font = font;
            m_key = font.key();
            m_known = true;
        }
        return m_key;
    }

private:
    QFont m_font;
    QString m_key;
    bool m_known = false;
};

// What a list row shows: equal keys draw equal pixels.
struct RowImageKey {
    QString text;
    QSize size;
    QRgb background = 0;
    QRgb pen = 0;
    QString font;
    qreal ratio = 1;

    bool operator==(const RowImageKey &o) const
    {
        return size == o.size && background == o.background && pen == o.pen &&
               ratio == o.ratio && text == o.text && font == o.font;
    }
};

struct RowImageKeyHash {
    std::size_t operator()(const RowImageKey &k) const
    {
        return qHashMulti(0, k.text, k.size.width(), k.size.height(), k.background, k.pen);
    }
};

using RowImages = ImageCache<RowImageKey, QPixmap, RowImageKeyHash>;

} // namespace tavoro::core
