// Rows drawn once and kept: the images of list rows, by what they show.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <list>
#include <unordered_map>

namespace tavoro::core {

class RowImages {
public:
    struct Key {
        QString text;
        QSize size;
        QRgb background = 0;
        QRgb pen = 0;
        QString font;
        qreal ratio = 1;

        bool operator==(const Key &o) const
        {
            return size == o.size && background == o.background && pen == o.pen &&
                   ratio == o.ratio && text == o.text && font == o.font;
        }
    };

    // Keeps up to `limit` images; the one shown longest ago goes first.
    explicit RowImages(int limit = 256) : m_limit(std::max(1, limit)) {}

    // The image kept under `key`, or nullptr; a found image counts as just shown.
    const QPixmap *find(const Key &key);
    // Keeps `image` under `key` (which must not be kept yet) and returns it.
    const QPixmap *insert(const Key &key, QPixmap image);

    int size() const { return int(m_byKey.size()); }

private:
    struct Hash {
        std::size_t operator()(const Key &k) const
        {
            return qHashMulti(0, k.text, k.size.width(), k.size.height(), k.background, k.pen);
        }
    };
    using Order = std::list<std::pair<Key, QPixmap>>; // the latest shown first

    int m_limit;
    Order m_order;
    std::unordered_map<Key, Order::iterator, Hash> m_byKey;
};

} // namespace tavoro::core
