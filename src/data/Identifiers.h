#pragma once

#include "data/Schema.h"

#include <QString>
#include <QVariantList>

namespace nerova {

class Database;

// True when a sibling of the row (the rows under the same owner; every company for the
// company level, whatever a lookup filter shows) already has the identifier, in any
// letter case. The row itself counts.
bool identifierInUse(Database& db, TableId level, const QVariantList& key, const QString& id);

// Gives the row of `level` with the given key the identifier `newId`, rewriting it in every
// row below, deepest first (flow rows, tests, pumps, locations, the row itself), as one
// transaction: an error leaves every row as it was.
void changeIdentifier(Database& db, TableId level, const QVariantList& key, const QString& newId);

} // namespace nerova
