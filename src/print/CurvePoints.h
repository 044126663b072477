#pragma once

#include <array>

namespace nerova {

// The eight measured points of one test as the curve sheet plots them.
class CurvePoints {
public:
    struct Pair {
        float flow = 0.0f;
        float pressure = 0.0f;
    };
    using Pairs = std::array<Pair, 8>;

    // Puts the points to plot first and answers how many there are. Ordered by pressure,
    // highest first, the points are taken up to the first whose pressure is exactly 0 (a
    // point never measured), so a churn point (flow 0) always stays, and a negative pressure
    // only when no point is unmeasured. The points taken are then ordered by flow, lowest
    // first; points of equal flow keep the higher pressure first, because both orderings
    // exchange neighbours only and never swap equal keys.
    static int arrange(Pairs& pairs);
};

} // namespace nerova
