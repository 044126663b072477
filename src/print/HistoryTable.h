#pragma once

#include "eval/PumpHistory.h"

#include <QStringList>

namespace nerova {

// A pump's history as a table of texts, the same on paper and on screen.
class HistoryTable {
public:
    enum Column { Date, Test, AtRated, AtPeak, Lowest, Change, Verdict, Record, ColumnCount };

    // "Date", "Test ID", "At 100 %", "At 150 %", "Lowest", "Change", "Verdict", "Test Record".
    static QStringList headers();
    // One row's texts in the order of the headers: the date in the system's short form,
    // shares cut to one decimal with " %", the change signed, the test-record line, blank
    // where a figure is missing.
    static QStringList cells(const HistoryRow& row);
    // Whether a column holds figures (right-aligned).
    static bool isFigure(int column) { return column >= AtRated && column <= Change; }
};

} // namespace nerova
