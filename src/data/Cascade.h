#pragma once

#include "data/Schema.h"

#include <QVariantList>
#include <functional>

namespace nerova {

class Database;

// Called before each row of a cascade is deleted, with the row's table and key values.
// Throwing from it aborts the cascade, which then changes nothing.
using CascadeObserver = std::function<void(TableId table, const QVariantList& key)>;

// Deletes the row of `table` with the given key values together with every row that hangs
// below it, deepest rows first (the flow rows of a test, then the test, and so on up to the
// row itself), as one transaction: an error leaves every row as it was. With the version
// of the row as it was shown (Table::rowVersion), a row another user changed since is not
// deleted either; refused deletes throw EngineError (Conflict) with deleteRefusedText().
void deleteWithDependants(Database& db, TableId table, const QVariantList& key,
                          const CascadeObserver& observer = {}, const QString& shownVersion = {});

// Why a delete was refused: another user changed or removed the row since it was shown.
QString deleteRefusedText();

} // namespace nerova
