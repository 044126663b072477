#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <map>
#include <optional>

namespace nerova {

class Database;
class Table;

// How a pump was tested last time, for the next year's test of the same pump: the method,
// the devices and where the pressures were read, who tested it and with which instruments,
// the authority and the witnesses. Readings, times, fuel, temperatures and notes are the
// test's own and are not part of it.
struct LatestTestSetup {
    QString testId;      // the test it was taken from
    QVariantList values; // setupColumns(), in order; blanks as null
    // Point → the devices of its flow row (nozzle sizes and coefficients by column name).
    std::map<int, QVariantMap> devices;

    // The test columns a setup carries.
    static const QStringList& setupColumns();
};

// The setup of the pump's latest test by "Test Date" (undated tests count as the oldest, of
// several on one date the one with the greatest "TestID"); nullopt when the pump has no
// test. Throws EngineError when the tables cannot be read.
std::optional<LatestTestSetup> latestTestSetup(Database& db, const QString& companyId,
                                               const QString& locationId, const QString& pumpId);

// Writes the setup into the test row being inserted (nothing is posted).
void applyTestSetup(Table& test, const LatestTestSetup& setup);

} // namespace nerova
