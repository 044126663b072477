#pragma once

#include "report/ReportDocument.h"

namespace nerova {

class Table;

// The table of a test's eight flow points that both reports print, in one of two
// variants: without or with the time of each reading. Only the chosen variant prints:
// its heading always, a point's row when its net pressure is not zero (rows are
// independent, so a gap in the points leaves no empty line), and the note when velocity
// pressure entered the corrected values.
class FlowPointTable {
public:
    static constexpr double kPointSize = 10.0;

    static ReportSection section(const Table& test, bool withTime, bool chosen,
                                 ReportSection::Keep keep);

    // Left edge and width of value column i (0 discharge … 12 corrected pressure, 13
    // percent) in a variant.
    static double columnX(bool withTime, int i);
    static double columnWidth(bool withTime, int i);
};

} // namespace nerova
