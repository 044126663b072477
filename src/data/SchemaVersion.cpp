#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Statement.h"

#include <QDir>
#include <map>

namespace nerova {

namespace {

// One step brings an attached table file from the version it is filed under to the next;
// every step of an open runs in the one transaction that stamps the final version, so a
// file is never left between two versions. Version 1 is the first: no steps yet.
using MigrationStep = void (*)(Database& db, TableId id);

const std::map<int, MigrationStep>& migrations() {
    static const std::map<int, MigrationStep> steps;
    return steps;
}

} // namespace

void Database::bringToCurrentVersion(TableId id, const QString& path) {
    const TableDef& def = tableDef(id);
    const QString schema = QString::fromLatin1(def.name);
    Statement read(handle(), QStringLiteral("PRAGMA %1.user_version").arg(schema));
    const int version = read.step() ? static_cast<int>(read.int64(0)) : 0;
    if (version == kSchemaVersion)
        return;
    if (!schemaVersionKnown(version))
        throw EngineError(QStringLiteral("%1 was written by a newer version of the program.")
                              .arg(QDir::toNativeSeparators(path)));
    if (version == 0) {
        // Written before versions were stamped: ours only when its columns are.
        Statement info(handle(), QStringLiteral("PRAGMA %1.table_info(%2)")
                                     .arg(schema, quoteIdent(QString::fromLatin1(def.baseName))));
        QStringList columns;
        while (info.step())
            columns << info.text(1);
        if (columns != def.columnNames())
            throw EngineError(QStringLiteral("Not a %1 table file.\nFile: %2")
                                  .arg(QString::fromLatin1(def.label), path));
    }
    Transaction tx(*this);
    for (int from = std::max(version, 1); from < kSchemaVersion; ++from) {
        const auto step = migrations().find(from);
        if (step == migrations().end())
            throw EngineError(QStringLiteral("%1 has table version %2, which this program cannot "
                                             "bring up to date.")
                                  .arg(QDir::toNativeSeparators(path))
                                  .arg(version));
        step->second(*this, id);
    }
    exec(QStringLiteral("PRAGMA %1.user_version = %2").arg(schema).arg(kSchemaVersion));
    tx.commit();
}

} // namespace nerova
