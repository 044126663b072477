#pragma once

#include <optional>
#include <vector>

namespace nerova {

// A test's own curve: its points at rated speed (corrected flow, corrected net pressure) in
// order of flow, read at the flows the rules name (100 % and 150 % of rated flow) rather
// than at whichever point happens to lie nearest.
class TestCurve {
public:
    struct Point {
        int number = 0; // 1 to 8
        double flow = 0;
        double pressure = 0;
    };

    struct Reading {
        enum class How { AtPoint, Between, Extended };
        double flow = 0;
        double pressure = 0;
        How how = How::AtPoint;
        int point = 0;       // AtPoint: the point read
        double fromFlow = 0; // Between: the point below; Extended: the highest flow
        double toFlow = 0;   // Between: the point above
    };

    explicit TestCurve(std::vector<Point> points);

    bool isEmpty() const { return m_points.empty(); }
    double highestFlow() const { return m_points.empty() ? 0.0 : m_points.back().flow; }

    // The pressure at a flow: at a point on it, linear between the points around it, or,
    // when the highest flow lies below it but at or above extendFrom, on the last segment
    // extended. A falling curve extended predicts less pressure; a rising last segment is
    // held level, so an extension never reads more than the highest point measured. None
    // when nothing lies below the flow, or the curve ends short of extendFrom.
    std::optional<Reading> at(double flow, double extendFrom) const;

private:
    std::vector<Point> m_points;
};

} // namespace nerova
