#pragma once

#include "eval/DomainValues.h"

#include "eval/Evaluation.h"

#include <QStringList>
#include <QVariant>

namespace nerova {

class Table;

// Fills the evaluation's records from stored rows. The values come in the order of the
// column lists below, as a cursor or a plain query reads them (blank is a null value,
// dates as QDate or in their stored ISO text).
const QStringList& pumpRatingColumns();
const QStringList& testReadingColumns();
PumpRatings pumpRatingsFrom(const QVariantList& values);
TestReadings testReadingsFrom(const QVariantList& values);

// The same from the current row of a pump and a test cursor.
PumpRatings pumpRatingsFrom(const Table& pump);
TestReadings testReadingsFrom(const Table& test);

// The current test of the current pump, judged.
Evaluation evaluateCurrentTest(const Table& pump, const Table& test);

} // namespace nerova
