#pragma once

#include "data/Table.h"

namespace nerova {

// The tables opened as one master-detail chain on the key columns: location under company,
// pump under location, test under pump, flow under test. The main window, the print
// dialog and the report holders each keep a chain of their own cursors.
class TableChain {
public:
    explicit TableChain(Database& db);

    // Opens the tables from the company down to `deepest`; closes in the same order.
    void open(TableId deepest = TableId::Flow);
    void close();

    Table& table(TableId id);

    Table company;
    Table location;
    Table pump;
    Table test;
    Table flow;
};

} // namespace nerova
