#pragma once

#include "data/Result.h"
#include "data/TableFileCheck.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

namespace nerova {

// A restore replaces several table files. It first extracts every file beside its table
// ("staged") and checks it, then writes down which staged file goes where and the folder
// the replaced tables go into (the plan), and only then moves each table's current files
// aside and renames the staged file into place. A restore cut short while placing (a power
// cut, a killed process) is finished from its plan the next time the tables are checked,
// so the tables never stay a mix of two moments; staged files without a plan are thrown
// away.

// Prefix of the staged files in the database directory.
inline constexpr const char* kRestoreStagePrefix = ".NRVA2002restore-";

// One staged file (its full path) and the bare name of the table file it is to become.
using StagedFile = QPair<QString, QString>;

// Puts every staged file in place: the plan written first, then for each table its current
// files (every spelling, any journal with them) moved into one new "Replaced <moment>"
// folder of dir, as table creation moves them, and the staged file renamed into place, so
// dir keeps exactly one file of the table and nothing of the old one beside it. A table
// that cannot be placed keeps its old files, and why goes into placeErrors. Answers why
// nothing was placed (the staged files are cleared away then); throws EngineError when the
// folder cannot be made. asideFolder: the folder, empty when nothing went into it.
Result placeRestoredTables(const QString& dir, const QDateTime& moment,
                           const QList<StagedFile>& staged, QString& asideFolder,
                           QStringList& placeErrors);
// Finishes a restore that was cut short and clears away staged files nobody will place.
void finishInterruptedRestore(const QString& dir);

} // namespace nerova
