// The sorted lists' order, on ICU's Japanese collator (see SortedList.h).
#include "SortedList.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/tblcoll.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace tavoro::menus {
namespace {

// The Japanese collation, with the hyphen, the full-width space and the sign "×" placed
// right after the digit 9 (see SortedList.h).
std::unique_ptr<icu::Collator> makeCollator()
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> base(
        icu::Collator::createInstance(icu::Locale::getJapanese(), status));
    if (U_FAILURE(status) || !base) {
        status = U_ZERO_ERROR;
        base.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    std::unique_ptr<icu::Collator> c;
    if (const auto *rules = dynamic_cast<const icu::RuleBasedCollator *>(base.get())) {
        const icu::UnicodeString tailoring = rules->getRules() +
                                             icu::UnicodeString(u"&9 < '-' < '\u3000' < '×'");
        status = U_ZERO_ERROR;
        c = std::make_unique<icu::RuleBasedCollator>(tailoring, status);
        if (U_FAILURE(status))
            c.reset();
    }
    if (!c)
        c = std::move(base);
    if (c) {
        status = U_ZERO_ERROR;
        c->setStrength(icu::Collator::TERTIARY);
        // Spaces and symbols take part in the order: the rows are aligned with them.
        c->setAttribute(UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, status);
    }
    return c;
}

icu::Collator *collator()
{
    static const std::unique_ptr<icu::Collator> instance = makeCollator();
    return instance.get();
}

// Appends the sort key of the case-folded text to `out` and returns its length (without the
// terminating zero).
std::size_t appendSortKey(const QString &text, std::vector<uint8_t> &out)
{
    const QString folded = text.toCaseFolded();
    const auto *chars = reinterpret_cast<const UChar *>(folded.utf16());
    const auto length = int32_t(folded.size());
    icu::Collator *c = collator();
    const std::size_t at = out.size();
    std::size_t room = std::size_t(length) * 6 + 16;
    out.resize(at + room);
    int32_t n = c->getSortKey(chars, length, out.data() + at, int32_t(room));
    if (n > int32_t(room)) {
        room = std::size_t(n);
        out.resize(at + room);
        n = c->getSortKey(chars, length, out.data() + at, int32_t(room));
    }
    const std::size_t size = n > 0 ? std::size_t(n) - 1 : 0;
    out.resize(at + size);
    return size;
}

std::string sortKey(const QString &text)
{
    std::vector<uint8_t> bytes;
    const std::size_t n = appendSortKey(text, bytes);
    return std::string(reinterpret_cast<const char *>(bytes.data()), n);
}

} // namespace

void SortListTexts(QStringList &texts)
{
    const qsizetype n = texts.size();
    if (n < 2)
        return;
    // Each text's sort key is made once; comparing two keys is a comparison of bytes.
    std::vector<std::string> keys;
    keys.reserve(std::size_t(n));
    for (const QString &t : texts)
        keys.push_back(sortKey(t));
    auto less = [&](int a, int b) { return keys[std::size_t(a)] < keys[std::size_t(b)]; };
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), less);
    QStringList sorted;
    sorted.reserve(n);
    for (int i : order)
        sorted.append(std::move(texts[i]));
    texts = std::move(sorted);
}

bool ListTextLess(const QString &a, const QString &b)
{
    return sortKey(a) < sortKey(b);
}

} // namespace tavoro::menus
