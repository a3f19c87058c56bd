#include "fs_sort.h"

#include <algorithm>

namespace fsl {

namespace {

// Case-insensitive natural comparison of two folded keys.
int naturalCompare(const char16_t *p, const char16_t *pe, const char16_t *q, const char16_t *qe)
{
    auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    while (p < pe && q < qe) {
        if (digit(*p) && digit(*q)) {
            while (p < pe && *p == u'0')
                ++p;
            while (q < qe && *q == u'0')
                ++q;
            const char16_t *ps = p, *qs = q;
            while (p < pe && digit(*p))
                ++p;
            while (q < qe && digit(*q))
                ++q;
            const auto lp = p - ps, lq = q - qs;
            if (lp != lq)
                return lp < lq ? -1 : 1;
            for (std::ptrdiff_t k = 0; k < lp; ++k)
                if (ps[k] != qs[k])
                    return ps[k] < qs[k] ? -1 : 1;
            continue;
        }
        if (*p != *q)
            return *p < *q ? -1 : 1;
        ++p;
        ++q;
    }
    if (p < pe)
        return 1;
    if (q < qe)
        return -1;
    return 0;
}

char16_t fold(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (QChar::isSurrogate(c))
        return c;
    return static_cast<char16_t>(QChar::toCaseFolded(static_cast<char32_t>(c)));
}

} // namespace

int NaturalCompare(const QString &a, const QString &b)
{
    QString fa = a.toCaseFolded(), fb = b.toCaseFolded();
    const auto *p = reinterpret_cast<const char16_t *>(fa.constData());
    const auto *q = reinterpret_cast<const char16_t *>(fb.constData());
    return naturalCompare(p, p + fa.size(), q, q + fb.size());
}

void SortEntries(std::vector<Entry> &entries)
{
    // Keys folded once, side by side in one buffer: the comparisons stay in
    // the cache and nothing is allocated per name.
    const size_t n = entries.size();
    size_t total = 0;
    for (const Entry &e : entries)
        total += static_cast<size_t>(e.text.size());
    std::vector<char16_t> keys;
    keys.reserve(total);
    std::vector<size_t> start(n + 1);
    for (size_t i = 0; i < n; ++i) {
        start[i] = keys.size();
        const auto *c = reinterpret_cast<const char16_t *>(entries[i].text.constData());
        const auto *ce = c + entries[i].text.size();
        for (; c < ce; ++c)
            keys.push_back(fold(*c));
    }
    start[n] = keys.size();
    std::vector<quint32> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = static_cast<quint32>(i);
    const char16_t *k = keys.data();
    std::sort(order.begin(), order.end(), [&](quint32 x, quint32 y) {
        const int c = naturalCompare(k + start[x], k + start[x + 1], k + start[y], k + start[y + 1]);
        if (c != 0)
            return c < 0;
        return entries[x].raw < entries[y].raw; // "a01"/"a1", "A"/"a": a fixed order
    });
    std::vector<Entry> sorted;
    sorted.reserve(n);
    for (quint32 i : order)
        sorted.push_back(std::move(entries[i]));
    entries.swap(sorted);
}

} // namespace fsl
