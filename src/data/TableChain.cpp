#include "data/TableChain.h"

namespace nerova {

TableChain::TableChain(Database& db)
    : company(db, TableId::Company), location(db, TableId::Location), pump(db, TableId::Pump),
      test(db, TableId::Test), flow(db, TableId::Flow) {
    location.setMaster(&company, {QStringLiteral("CompanyID")});
    pump.setMaster(&location, {QStringLiteral("CompanyID"), QStringLiteral("LocationID")});
    test.setMaster(&pump, {QStringLiteral("CompanyID"), QStringLiteral("LocationID"),
                           QStringLiteral("PumpID")});
    flow.setMaster(&test, {QStringLiteral("CompanyID"), QStringLiteral("LocationID"),
                           QStringLiteral("PumpID"), QStringLiteral("TestID")});
}

Table& TableChain::table(TableId id) {
    switch (id) {
    case TableId::Company:
        return company;
    case TableId::Location:
        return location;
    case TableId::Pump:
        return pump;
    case TableId::Test:
        return test;
    case TableId::Flow:
        return flow;
    }
    return company;
}

void TableChain::open(int levels) {
    for (int level = 1; level <= levels; ++level)
        at(level).open();
}

void TableChain::close() {
    for (int level = 1; level <= 5; ++level)
        at(level).close();
}

} // namespace nerova
