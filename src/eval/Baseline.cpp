#include "eval/Baseline.h"

#include <algorithm>
#include <cmath>

namespace nerova {

Baseline::Baseline(Source source, std::vector<CurvePoint> points) : m_source(source) {
    // Blank columns read as 0; a negative or non-finite figure is no reading either.
    std::erase_if(points, [](const CurvePoint& p) {
        return !(p.pressure > 0) || !std::isfinite(p.pressure) || !std::isfinite(p.flow) ||
               p.flow < 0;
    });
    std::stable_sort(points.begin(), points.end(),
                     [](const CurvePoint& a, const CurvePoint& b) { return a.flow < b.flow; });
    points.erase(
        std::unique(points.begin(), points.end(),
                    [](const CurvePoint& a, const CurvePoint& b) { return a.flow == b.flow; }),
        points.end());
    if (points.size() >= 2)
        m_points = std::move(points);
}

std::optional<double> Baseline::pressureAt(double flow) const {
    if (m_points.empty() || !std::isfinite(flow) || flow < m_points.front().flow ||
        flow > m_points.back().flow)
        return std::nullopt;
    const auto upper = std::lower_bound(m_points.begin(), m_points.end(), flow,
                                        [](const CurvePoint& p, double f) { return p.flow < f; });
    if (upper->flow == flow)
        return upper->pressure;
    const CurvePoint& a = *(upper - 1);
    const CurvePoint& b = *upper;
    return a.pressure + (flow - a.flow) * (b.pressure - a.pressure) / (b.flow - a.flow);
}

std::optional<double> Baseline::extendedPressureAt(double flow) const {
    if (m_points.size() < 2 || !std::isfinite(flow) || flow <= m_points.back().flow)
        return pressureAt(flow);
    const CurvePoint& a = m_points[m_points.size() - 2];
    const CurvePoint& b = m_points.back();
    return b.pressure + (flow - b.flow) * (b.pressure - a.pressure) / (b.flow - a.flow);
}

Baseline pumpBaseline(const CurvePoint (&factory)[kFactoryCurvePoints], double churnPressure,
                      double ratedFlow, double ratedPressure, double peakFlow,
                      double peakPressure) {
    if (factory[0].pressure != 0) {
        Baseline curve(Baseline::Source::FactoryCurve,
                       std::vector<CurvePoint>(std::begin(factory), std::end(factory)));
        // A factory curve of a single usable point is a typing slip, not a curve: the
        // nameplate still says what the pump should do.
        if (curve.isValid())
            return curve;
    }
    return Baseline(Baseline::Source::Nameplate,
                    {{0, churnPressure}, {ratedFlow, ratedPressure}, {peakFlow, peakPressure}});
}

} // namespace nerova
