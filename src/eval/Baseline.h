#pragma once

#include <optional>
#include <vector>

namespace nerova {

struct CurvePoint {
    double flow = 0;     // gpm
    double pressure = 0; // psi
};

inline constexpr int kFactoryCurvePoints = 10;

// What a pump promised when new: its factory curve, or failing that its nameplate points.
class Baseline {
public:
    enum class Source { None, FactoryCurve, Nameplate };

    Baseline() = default;
    // The points in any order; those without a pressure are left out, the rest sorted by
    // flow. Of two points at the same flow the first given is kept, so the curve stays a
    // function of flow. Fewer than two points make no curve.
    Baseline(Source source, std::vector<CurvePoint> points);

    Source source() const { return m_points.empty() ? Source::None : m_source; }
    bool isValid() const { return !m_points.empty(); }
    const std::vector<CurvePoint>& points() const { return m_points; }

    // Pressure at a flow, linear between neighbouring points; nothing outside the curve's
    // flows, since a curve says nothing beyond its own ends.
    std::optional<double> pressureAt(double flow) const;
    // The same, and beyond the last point on its last segment extended (which may fall to 0
    // or below: the caller decides how far an extension is worth reading).
    std::optional<double> extendedPressureAt(double flow) const;

private:
    Source m_source = Source::None;
    std::vector<CurvePoint> m_points;
};

// The factory curve when its first pressure is given (the test by which the detail report
// decides whether to print the curve) and it has two usable points, otherwise the
// nameplate: churn at no flow, the rated and the overload point.
Baseline pumpBaseline(const CurvePoint (&factory)[kFactoryCurvePoints], double churnPressure,
                      double ratedFlow, double ratedPressure, double peakFlow, double peakPressure);

} // namespace nerova
