#pragma once

#include <QDate>
#include <QStringList>
#include <QVariantList>
#include <vector>

namespace nerova {

class Database;

// The columns to read for each pump: of its company, its location, the pump itself and its
// latest test.
struct LatestTestColumns {
    QStringList company;
    QStringList location;
    QStringList pump;
    QStringList test;
};

// Every pump the main window can reach (its company and location rows exist), in key order,
// each with its latest test, read by one statement however many pumps there are. A row holds
// the pump's "CompanyID", "LocationID" and "PumpID"; the columns asked for of its company,
// location and of the pump; the number of the pump's tests dated after today; the latest
// test's "Test Date" and "TestID"; and last the test columns asked for.
//
// The latest test is the one with the latest "Test Date" on or before today, of several on
// that date the one with the greatest "TestID"; its columns are null when the pump has none.
// Tests without a date, or dated after today, are never the latest. Blanks come back as null
// variants, dates in their ISO text. Throws EngineError when the tables cannot be read.
std::vector<QVariantList> pumpsWithLatestTest(Database& db, const LatestTestColumns& columns,
                                              const QDate& today);

// Tests named by their full keys ("CompanyID", "LocationID", "PumpID", "TestID"), each with
// columns of its pump, read by one statement per kTestsByKeyBatch keys. A row holds the
// test's four key columns, then the pump columns, then the test columns; rows come in no
// particular order, and a key with no test gives no row. Throws EngineError when the tables
// cannot be read.
inline constexpr int kTestsByKeyBatch = 64;
std::vector<QVariantList> testsByKey(Database& db, const QStringList& pumpColumns,
                                     const QStringList& testColumns,
                                     const QList<QStringList>& keys);

} // namespace nerova
