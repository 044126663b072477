#include "eval/TestCurve.h"

#include <algorithm>
#include <cmath>

namespace nerova {

namespace {

// Flows are whole gallons per minute as stored; a reading exactly on a flow must count as
// on it although the flow it is compared with was worked out in binary.
bool sameFlow(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b));
}

} // namespace

TestCurve::TestCurve(std::vector<Point> points) : m_points(std::move(points)) {
    std::erase_if(m_points, [](const Point& p) {
        return !std::isfinite(p.flow) || !std::isfinite(p.pressure) || p.flow < 0;
    });
    std::stable_sort(m_points.begin(), m_points.end(),
                     [](const Point& a, const Point& b) { return a.flow < b.flow; });
}

std::optional<TestCurve::Reading> TestCurve::at(double flow, double extendFrom) const {
    if (m_points.empty() || !std::isfinite(flow))
        return std::nullopt;
    Reading r;
    r.flow = flow;
    const auto upper = std::find_if(m_points.begin(), m_points.end(), [flow](const Point& p) {
        return p.flow > flow || sameFlow(p.flow, flow);
    });
    if (upper != m_points.end()) {
        if (sameFlow(upper->flow, flow)) {
            r.pressure = upper->pressure;
            r.point = upper->number;
            return r;
        }
        if (upper == m_points.begin())
            return std::nullopt;
        const Point& a = *(upper - 1);
        const Point& b = *upper;
        r.how = Reading::How::Between;
        r.pressure = a.pressure + (flow - a.flow) * (b.pressure - a.pressure) / (b.flow - a.flow);
        r.fromFlow = a.flow;
        r.toFlow = b.flow;
        return r;
    }
    const Point& last = m_points.back();
    if (last.flow < extendFrom && !sameFlow(last.flow, extendFrom))
        return std::nullopt;
    // The segment ends at the highest flow and starts at the highest flow below it.
    const auto below = std::find_if(m_points.rbegin(), m_points.rend(),
                                    [&](const Point& p) { return p.flow < last.flow; });
    if (below == m_points.rend())
        return std::nullopt;
    const double slope = (last.pressure - below->pressure) / (last.flow - below->flow);
    r.how = Reading::How::Extended;
    r.pressure = last.pressure + (flow - last.flow) * std::min(0.0, slope);
    r.fromFlow = last.flow;
    return r;
}

} // namespace nerova
