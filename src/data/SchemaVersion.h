#pragma once

#include "data/Schema.h"

#include <QString>

namespace nerova {

class Backend;

// Brings a table stored under `version` up to kSchemaVersion, one step per version, inside
// the caller's transaction, so a table is never left between two versions. Throws
// EngineError for a version written by a newer program or one no step leads on from;
// `where` names the table for those messages.
void migrateTable(Backend& backend, TableId id, int version, const QString& where);

} // namespace nerova
