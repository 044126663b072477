#include "print/CurvePoints.h"

#include <utility>

namespace nerova {

namespace {

template <typename Before> void exchangePasses(CurvePoints::Pair* pairs, int count, Before before) {
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (int i = 0; i + 1 < count; ++i) {
            if (before(pairs[i + 1], pairs[i])) {
                std::swap(pairs[i], pairs[i + 1]);
                exchanged = true;
            }
        }
    }
}

} // namespace

int CurvePoints::arrange(Pairs& pairs) {
    exchangePasses(pairs.data(), int(pairs.size()),
                   [](const Pair& a, const Pair& b) { return a.pressure > b.pressure; });
    int n = 0;
    while (n < int(pairs.size()) && pairs[static_cast<std::size_t>(n)].pressure != 0.0f)
        ++n;
    exchangePasses(pairs.data(), n, [](const Pair& a, const Pair& b) { return a.flow < b.flow; });
    return n;
}

} // namespace nerova
