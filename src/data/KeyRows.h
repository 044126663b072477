#pragma once

#include "data/Schema.h"

#include <QStringList>
#include <QVariantList>
#include <vector>

namespace nerova {

class Database;

// The given columns of every row of a table whose leading key columns equal keys, in key
// order, read straight from the table file (kept attached for the read) without moving any
// cursor. Blanks come back as null variants. For read-only summaries over many rows, such
// as a pump's history, that would otherwise walk a cursor through every test.
std::vector<QVariantList> rowsByKey(Database& db, TableId id, const QStringList& columns,
                                    const QVariantList& keys);

} // namespace nerova
