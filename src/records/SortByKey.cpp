// The sort of the rankings.
#include "SortByKey.h"

#include <algorithm>
#include <utility>

namespace tavoro::records {

void SortByKey(int n, std::vector<std::int32_t> &keys, std::vector<core::Variant> &tags)
{
    // Entries 1..n must exist in both tables.
    n = std::min<int>(n, int(std::min(keys.size(), tags.size())) - 1);
    if (n < 2)
        return;
    // Taken last to first, a stable sort leaves equal keys in the reverse of their order.
    std::vector<std::pair<std::int32_t, core::Variant>> entries;
    entries.reserve(std::size_t(n));
    for (int i = n; i >= 1; --i)
        entries.emplace_back(keys[std::size_t(i)], std::move(tags[std::size_t(i)]));
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (int i = 1; i <= n; ++i) {
        keys[std::size_t(i)] = entries[std::size_t(i - 1)].first;
        tags[std::size_t(i)] = std::move(entries[std::size_t(i - 1)].second);
    }
}

} // namespace tavoro::records
