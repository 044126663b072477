#include "data/TableChain.h"

#include "data/Database.h"

namespace nerova {

TableChain::TableChain(Database& db)
    : company(db, TableId::Company), location(db, TableId::Location), pump(db, TableId::Pump),
      test(db, TableId::Test), flow(db, TableId::Flow) {
    // Each table follows the one above on that one's whole key.
    for (const TableId id : kAllTables)
        if (id != TableId::Company)
            table(id).setMaster(&table(parentOf(id)), tableDef(parentOf(id)).keyNames());
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

void TableChain::open(TableId deepest) {
    // Every table is made usable first: a server checks them all in one reading of its
    // catalog, and the top table then reads the first rows of the whole chain in one go.
    Database& db = company.database();
    QList<TableId> held;
    try {
        for (const TableId id : kAllTables)
            if (levelIndex(id) <= levelIndex(deepest)) {
                db.acquire(id);
                held << id;
            }
        for (const TableId id : std::as_const(held))
            table(id).open();
    } catch (...) {
        for (const TableId id : std::as_const(held))
            db.release(id);
        throw;
    }
    for (const TableId id : std::as_const(held))
        db.release(id);
    company.dropAhead();
}

void TableChain::close() {
    for (const TableId id : kAllTables)
        table(id).close();
}

} // namespace nerova
