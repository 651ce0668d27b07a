// The sort of the rankings.
#include "SortByKey.h"

#include <algorithm>
#include <utility>

namespace tavoro::records {
namespace {

struct MergeSorter {
    std::vector<std::int32_t> &keys;
    std::vector<core::Variant> &tags;
    std::vector<std::int32_t> workKeys;
    std::vector<core::Variant> workTags;

    void sort(int lo, int hi)
    {
        if (lo >= hi)
            return;
        const int m = (lo + hi) / 2;
        sort(lo, m);
        sort(m + 1, hi);
        int copied = 0;
        for (int i = lo; i <= m; ++i, ++copied) {
            workKeys[std::size_t(copied)] = keys[std::size_t(i)];
            workTags[std::size_t(copied)] = std::move(tags[std::size_t(i)]);
        }
        int a = m + 1;
        int b = 0;
        int d = lo;
        while (a <= hi && b < copied) {
            // Strictly lower only: of equal keys the right-hand entry goes first.
            if (workKeys[std::size_t(b)] < keys[std::size_t(a)]) {
                keys[std::size_t(d)] = workKeys[std::size_t(b)];
                tags[std::size_t(d)] = std::move(workTags[std::size_t(b)]);
                ++b;
            } else {
                keys[std::size_t(d)] = keys[std::size_t(a)];
                tags[std::size_t(d)] = std::move(tags[std::size_t(a)]);
                ++a;
            }
            ++d;
        }
        for (; b < copied; ++b, ++d) {
            keys[std::size_t(d)] = workKeys[std::size_t(b)];
            tags[std::size_t(d)] = std::move(workTags[std::size_t(b)]);
        }
    }
};

} // namespace

void SortByKey(int n, std::vector<std::int32_t> &keys, std::vector<core::Variant> &tags)
{
    // Entries 1..n must exist in both tables.
    n = std::min<int>(n, int(std::min(keys.size(), tags.size())) - 1);
    if (n < 2)
        return;
    MergeSorter sorter{keys, tags, std::vector<std::int32_t>(std::size_t(n / 2 + 2)),
                       std::vector<core::Variant>(std::size_t(n / 2 + 2))};
    sorter.sort(1, n);
}

} // namespace tavoro::records
