#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace nerova {

// The command line's import of the former program's data, without a window:
//   nerova2002 --import-old <folder | archive.zip> [--to <alias | folder | postgresql://…>]
//              [--replace] [--accept-fields]
// reads the old tables (a folder of them, or a backup archive of the former program), and
// imports them into the NRVA2002 alias's database or the one given with --to. A target that
// holds rows is refused unless --replace is given; old tables with fields left out or blank
// are refused unless --accept-fields is given, after the list has been printed. Returns -1
// when the arguments do not hold --import-old, otherwise the exit code: 0 imported, 1
// refused or failed (the reason on err), 2 usage.
int runImportOldCommand(const QStringList& arguments, const QString& registryPath,
                        const QString& defaultDataDir, QTextStream& out, QTextStream& err);

} // namespace nerova
