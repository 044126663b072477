#pragma once

#include "data/Schema.h"

namespace nerova {

class Table;

// The demonstration rows a new installation starts with: one company, location, pump and
// test, and three flow rows, so there is a complete example to look at and print.
int demoRowCount(TableId id);
// Writes row `row` of the table's demonstration data into the table's new row.
void fillDemoRow(Table& table, TableId id, int row);

} // namespace nerova
