#pragma once

#include <QString>

namespace nerova {

class GraphProperties;
class Table;

// What every curve sheet says about itself, and the sheet of one test that ends the detail
// report.
class CurveSheet {
public:
    // Which values a sheet's test curves show.
    enum class Values { Corrected, Measured, Both };

    // The pump's rating in one line, for under the title: "Rating: 1,000 gpm at 100 psi,
    // 1,780 rpm; churn 115 psi; overload 1,500 gpm at 67.5 psi". Empty for a blank nameplate.
    static QString ratingLine(const Table& pump);
    // What the pressure axis shows: "Net pressure, psi, corrected to rated speed (1,780 rpm)"
    // or "Net pressure, psi, as measured"; ratedSpeed 0 when the pump gives none.
    static QString pressureAxisTitle(Values values, double ratedSpeed);
    // A test curve's legend on a sheet that mixes corrected and measured curves.
    static QString mixedLegend(const QString& legend, int curve, bool corrected);

    // The test the cursors stand on at rated speed, with its pump's baseline and the line at
    // the share of it a test must reach, on a sheet of its own. The flow axis follows the
    // preference; the lines are straight, as the evaluation reads between points.
    static void testSheet(GraphProperties& graph, const Table& pump, const Table& test,
                          const QString& title, bool exponentialFlow);
};

} // namespace nerova
