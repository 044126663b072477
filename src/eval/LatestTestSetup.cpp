#include "eval/LatestTestSetup.h"

#include "data/KeyRows.h"
#include "data/Table.h"
#include "eval/FlowPointColumns.h"

#include <QDate>

namespace nerova {

namespace {

QDate dateOf(const QVariant& v) {
    if (v.isNull())
        return {};
    return v.typeId() == QMetaType::QDate ? v.toDate()
                                          : QDate::fromString(v.toString(), Qt::ISODate);
}

QStringList deviceColumns() {
    QStringList columns;
    for (int k = 1; k <= kNozzleCount; ++k)
        columns << flowPointColumn(kNozzleSizeStem, k) << flowPointColumn(kCoefficientStem, k);
    return columns;
}

} // namespace

const QStringList& LatestTestSetup::setupColumns() {
    static const QStringList columns = [] {
        QStringList c{QStringLiteral("Test Method"), QString::fromLatin1(kDischargeDeviceColumn),
                      QStringLiteral("Velocity Pressure"), QStringLiteral("Suction Pressure Loc"),
                      QStringLiteral("Discharge Pressure Loc")};
        for (int n = 1; n <= 4; ++n)
            c << QStringLiteral("Tester%1").arg(n) << QStringLiteral("Tester%1 License").arg(n)
              << QStringLiteral("Tester%1 State").arg(n);
        for (const char* ahj :
             {"Name", "Title", "Company", "Phone", "Phone Ext", "Fax", "Cell", "Email"})
            c << QStringLiteral("AHJ ") + QLatin1String(ahj);
        for (int n = 1; n <= 3; ++n)
            for (const char* witness : {"Name", "Company", "Phone", "Fax", "Email"})
                c << QStringLiteral("Witness%1 ").arg(n) + QLatin1String(witness);
        for (const char* instrument : {"Pressure Gauge", "Volt Meter", "Amp Probe", "Tachometer"})
            c << QLatin1String(instrument) + QStringLiteral(" Type")
              << QLatin1String(instrument) + QStringLiteral(" Cal Date");
        return c;
    }();
    return columns;
}

std::optional<LatestTestSetup> latestTestSetup(Database& db, const QString& companyId,
                                               const QString& locationId, const QString& pumpId) {
    const QStringList columns = QStringList{QStringLiteral("TestID"), QStringLiteral("Test Date")} +
                                LatestTestSetup::setupColumns();
    const std::vector<QVariantList> tests =
        rowsByKey(db, TableId::Test, columns, {companyId, locationId, pumpId});
    const QVariantList* latest = nullptr;
    for (const QVariantList& t : tests) {
        if (!latest) {
            latest = &t;
            continue;
        }
        const QDate date = dateOf(t[1]);
        const QDate best = dateOf((*latest)[1]);
        // Rows come in "TestID" order: a later one on the same date wins.
        if (date.isValid() && (!best.isValid() || date >= best))
            latest = &t;
    }
    if (!latest)
        return std::nullopt;

    LatestTestSetup setup;
    setup.testId = (*latest)[0].toString();
    setup.values = latest->mid(2);
    const QStringList devices = deviceColumns();
    for (const QVariantList& row : rowsByKey(
             db, TableId::Flow, QStringList{QString::fromLatin1(kFlowPointNumberColumn)} + devices,
             {companyId, locationId, pumpId, setup.testId})) {
        bool ok = false;
        const int point = row[0].toString().toInt(&ok);
        if (!ok || point < 1 || point > kFlowPointCount)
            continue;
        QVariantMap& kept = setup.devices[point];
        for (qsizetype i = 0; i < devices.size(); ++i)
            kept.insert(devices[i], row[i + 1]);
    }
    return setup;
}

void applyTestSetup(Table& test, const LatestTestSetup& setup) {
    const QStringList& columns = LatestTestSetup::setupColumns();
    for (qsizetype i = 0; i < columns.size(); ++i)
        test.setValue(columns[i], setup.values.value(i));
}

} // namespace nerova
