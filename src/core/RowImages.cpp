#include "RowImages.h"

namespace tavoro::core {

const QPixmap *RowImages::find(const Key &key)
{
    const auto it = m_byKey.find(key);
    if (it == m_byKey.end())
        return nullptr;
    m_order.splice(m_order.begin(), m_order, it->second);
    return &it->second->second;
}

const QPixmap *RowImages::insert(const Key &key, QPixmap image)
{
    m_order.emplace_front(key, std::move(image));
    m_byKey.emplace(key, m_order.begin());
    while (int(m_byKey.size()) > m_limit && !m_order.empty()) {
        m_byKey.erase(m_order.back().first);
        m_order.pop_back();
    }
    return &m_order.front().second;
}

} // namespace tavoro::core
