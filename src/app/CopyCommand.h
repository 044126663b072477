#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace nerova {

class Database;
struct DataLocation;

// The other side of a copy or an import as the user names it: an alias of the registry, a
// postgresql:// connection, or a folder (one that exists, or a path with a separator, so a
// mistyped alias never becomes a new folder). Throws EngineError for anything else.
DataLocation resolveDataLocation(const Database& registry, const QString& text);

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
