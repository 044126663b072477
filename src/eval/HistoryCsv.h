#pragma once

#include "eval/PumpHistory.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace nerova {

// The pump a history belongs to: its "CompanyID", "LocationID" and "PumpID".
struct HistoryPump {
    QString companyId;
    QString locationId;
    QString pumpId;
};

// A pump's history as comma-separated values: UTF-8, a header row, the pump's three
// identifiers first on every row (so that a file read on its own names its pump), ISO
// dates, shares cut to one decimal as everywhere, the test-record line last, lines ended by
// CR LF, and a field quoted (its quotes doubled) when it holds a comma, a quote or a line
// break.
QByteArray historyCsv(const HistoryPump& pump, const QList<HistoryRow>& rows);

// Writes the text to a file whole or not at all: an existing file is replaced only once
// the new one is complete. Throws EngineError when the file cannot be written.
void writeHistoryCsv(const QString& path, const HistoryPump& pump, const QList<HistoryRow>& rows);

// A change of share since the previous test, signed, to one decimal: "+1.2", "-0.5", "0.0".
QString historyChangeText(double change);

// One CSV field, quoted when it must be.
QString csvField(const QString& text);

} // namespace nerova
