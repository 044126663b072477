#pragma once

#include "data/DatabaseCopy.h"

#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

namespace nerova {

class Database;
class EngineError;
struct DataLocation;

// The other side of a copy or an import as the user names it: an alias of the registry, a
// postgresql:// connection, or a folder (one that exists, or a path with a separator, so a
// mistyped alias never becomes a new folder). Throws EngineError for anything else, and for
// a connection that carries a password.
DataLocation resolveDataLocation(const Database& registry, const QString& text);

// The folder a command writes into, made when missing; the folders it made go again, when
// still empty, unless keep() was called: a refused copy leaves nothing behind.
class TargetFolderHolder {
public:
    explicit TargetFolderHolder(const DataLocation& where);
    ~TargetFolderHolder();
    TargetFolderHolder(const TargetFolderHolder&) = delete;
    TargetFolderHolder& operator=(const TargetFolderHolder&) = delete;
    void keep() { m_made.clear(); }

private:
    QStringList m_made; // deepest first
};

// "NRVA2002company: 1 row, checksum …" for each table, as the copy and the import end.
void printTallies(QTextStream& out, const QList<TableTally>& tallies);
// The refusal on err, with the hint to add --replace where that is what stopped it.
int printRefusal(QTextStream& err, const EngineError& e, bool replace);

// The command line's way of moving a whole database between the file database and an office
// server:
//   nerova2002 --copy-to <alias, folder or postgresql:// connection> [--replace]
//   nerova2002 --copy-from <alias, folder or postgresql:// connection> [--replace]
// copy every row of the five tables from the NRVA2002 alias's database to the other one, or
// from the other one into it. Returns -1 when the arguments hold neither option, otherwise
// the process's exit code; what happened is written to out, what went wrong to err.
int runCopyCommand(const QStringList& arguments, const QString& registryPath,
                   const QString& defaultDataDir, QTextStream& out, QTextStream& err);

} // namespace nerova
