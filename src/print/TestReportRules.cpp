#include "print/TestReportRules.h"

#include "data/Table.h"
#include "eval/DomainValues.h"

namespace nerova {

bool TestReportRules::present(const Table& table, const QString& column) {
    const QVariant value = table.value(column);
    if (value.isNull() || !value.isValid())
        return false;
    const ColumnDef* def = table.def().find(column);
    switch (def ? def->type : ColumnType::Alpha) {
    case ColumnType::Number:
        return value.toDouble() != 0.0;
    case ColumnType::Logical:
        return value.toBool();
    case ColumnType::Date:
        return value.toDate().isValid();
    case ColumnType::Time:
        return value.toTime().isValid();
    case ColumnType::Alpha:
    case ColumnType::Memo:
        break;
    }
    return !value.toString().isEmpty();
}

bool TestReportRules::any(const Table& table, const QStringList& columns) {
    for (const QString& column : columns) {
        if (present(table, column))
            return true;
    }
    return false;
}

bool TestReportRules::locationShown(const Table& location) {
    return !location.asBool(QStringLiteral("SameAsCompany"));
}

bool TestReportRules::electricDriver(const Table& pump) {
    // A blank type prints no electric section, unlike the readings the test page offers.
    const auto type = driverTypeOf(pump.value(QStringLiteral("Driver Type")).toString());
    return type && driverPagesOf(*type).electric;
}

bool TestReportRules::dieselDriver(const Table& pump) {
    const auto type = driverTypeOf(pump.value(QStringLiteral("Driver Type")).toString());
    return type && driverPagesOf(*type).diesel;
}

bool TestReportRules::electric(const Table& pump, const QStringList& columns) {
    return electricDriver(pump) && (columns.isEmpty() || any(pump, columns));
}

bool TestReportRules::diesel(const Table& pump, const QStringList& columns) {
    return dieselDriver(pump) && (columns.isEmpty() || any(pump, columns));
}

bool TestReportRules::point(const Table& test, int n) {
    return test.asFloat(QStringLiteral("Net Pressure%1").arg(n)) != 0.0;
}

} // namespace nerova
