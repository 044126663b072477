#pragma once

#include "eval/TestsDue.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace nerova {

// The pumps as comma-separated values, one line each in the order given: UTF-8, a header
// row, ISO dates, lines ended by CR LF, a field quoted (its quotes doubled) when it holds a
// comma, a quote or a line break.
QByteArray testsDueCsv(const QList<DuePump>& pumps, int warningDays);

// The pumps as an iCalendar file: one all-day event per pump on its due date, titled
// "Fire pump test due: " and the pump's title, the contact and phone in its description, and
// a reminder 14 days before. stamp is the moment of the export.
QByteArray testsDueCalendar(const QList<DuePump>& pumps, const QDateTime& stamp);

// The event's identifier: the same for the same pump and due date, so that a calendar
// given the file again updates its events instead of adding them twice. A pump never tested
// is due on the day of each export; its identifier leaves the date out for that reason.
QString calendarUid(const DuePump& pump);

// Writes the bytes to a file whole or not at all: an existing file is replaced only once the
// new one is complete. Throws EngineError when the file cannot be written.
void writeExportFile(const QString& path, const QByteArray& data);

} // namespace nerova
