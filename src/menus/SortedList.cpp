// The sorted lists' order, on ICU's Japanese collator. Case is folded before the texts are
// compared, so "a" and "A" stand together while full- and half-width forms still differ.
#include "SortedList.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace tavoro::menus {
namespace {

icu::Collator *collator()
{
    static std::unique_ptr<icu::Collator> instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> c(
            icu::Collator::createInstance(icu::Locale::getJapanese(), status));
        if (U_FAILURE(status) || !c) {
            status = U_ZERO_ERROR;
            c.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        }
        if (c) {
            c->setStrength(icu::Collator::TERTIARY);
            // Spaces and symbols take part in the order: the rows are aligned with them.
            c->setAttribute(UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, status);
        }
        return c;
    }();
    return instance.get();
}

std::string sortKey(const QString &text)
{
    const QString folded = text.toCaseFolded();
    const icu::UnicodeString u(reinterpret_cast<const UChar *>(folded.utf16()),
                               int32_t(folded.size()));
    icu::Collator *c = collator();
    std::string key(std::size_t(folded.size()) * 4 + 16, '\0');
    int32_t n = c->getSortKey(u, reinterpret_cast<uint8_t *>(key.data()), int32_t(key.size()));
    if (n > int32_t(key.size())) {
        key.resize(std::size_t(n));
        n = c->getSortKey(u, reinterpret_cast<uint8_t *>(key.data()), int32_t(key.size()));
    }
    key.resize(std::size_t(std::max(n, 1)) - 1); // without the terminating zero
    return key;
}

} // namespace

void SortListTexts(QStringList &texts)
{
    const qsizetype n = texts.size();
    if (n < 2)
        return;
    std::vector<std::string> keys;
    keys.reserve(std::size_t(n));
    for (const QString &t : texts)
        keys.push_back(sortKey(t));
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys[std::size_t(a)] < keys[std::size_t(b)]; });
    QStringList sorted;
    sorted.reserve(n);
    for (int i : order)
        sorted.append(texts.at(i));
    texts = std::move(sorted);
}

bool ListTextLess(const QString &a, const QString &b)
{
    return sortKey(a) < sortKey(b);
}

} // namespace tavoro::menus
