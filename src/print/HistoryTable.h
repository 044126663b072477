#pragma once

#include "eval/PumpHistory.h"

#include <QStringList>

class QTableWidget;

namespace nerova {

// A pump's history as a table of texts, the same on paper and on screen.
class HistoryTable {
public:
    // "Date", "Test ID", "At 100 %", "At 150 %", "Lowest", "Change", "Verdict".
    static QStringList headers();
    // One row's texts in the order of the headers: the date in the system's short form,
    // shares to one decimal with " %", the change signed, blank where a figure is missing.
    static QStringList cells(const HistoryRow& row);

    // Fills a table widget with the history, read-only, one row per test.
    static void fill(QTableWidget& table, const QList<HistoryRow>& rows);
};

} // namespace nerova
