#include "data/SchemaVersion.h"

#include "data/Backend.h"
#include "data/EngineError.h"

#include <QDir>
#include <map>

namespace nerova {

namespace {

// One step brings a table from the version it is stored under to the next.
using MigrationStep = void (*)(Backend& backend, TableId id);

void addIndexesOf(int version, Backend& backend, TableId id) {
    for (const IndexDef& index : tableDef(id).indexes)
        if (index.since == version && (!index.serverOnly() || backend.isServer()))
            backend.addIndex(id, index);
}

const std::map<int, MigrationStep>& migrations() {
    static const std::map<int, MigrationStep> steps{
        // 1 to 2: the test table's index by pump and date; the other tables only take the
        // new number.
        {1, [](Backend& backend, TableId id) { addIndexesOf(2, backend, id); }},
        // 2 to 3: the server's folded indexes for the lookups.
        {2, [](Backend& backend, TableId id) { addIndexesOf(3, backend, id); }},
    };
    return steps;
}

} // namespace

void migrateTable(Backend& backend, TableId id, int version, const QString& where) {
    if (!schemaVersionKnown(version))
        throw EngineError(QStringLiteral("%1 was written by a newer version of the program.")
                              .arg(QDir::toNativeSeparators(where)));
    for (int from = std::max(version, 1); from < kSchemaVersion; ++from) {
        const auto step = migrations().find(from);
        if (step == migrations().end())
            throw EngineError(QStringLiteral("%1 has table version %2, which this program cannot "
                                             "bring up to date.")
                                  .arg(QDir::toNativeSeparators(where))
                                  .arg(version));
        step->second(backend, id);
    }
}

} // namespace nerova
