#pragma once

#include "data/Result.h"
#include "data/TableFileCheck.h"

#include <QList>
#include <QPair>
#include <QString>

namespace nerova {

class TableFilesAside;

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

// Writes the plan durably; asideFolder is the folder (a bare name in dir) that takes the
// replaced tables. A failure says why.
Result writeRestorePlan(const QString& dir, const QString& asideFolder,
                        const QList<StagedFile>& staged);
// Moves the current files of the staged file's table (every spelling, any journal with
// them) into aside's folder and renames the staged file into place, so the folder keeps
// exactly one file of the table and nothing of the old one beside it. On failure the old
// files are put back.
Result placeRestoredTable(const QString& dir, TableFilesAside& aside, const StagedFile& staged);
// Removes the plan once every staged file is in place.
void removeRestorePlan(const QString& dir);
// Finishes a restore that was cut short and clears away staged files nobody will place.
void finishInterruptedRestore(const QString& dir);

} // namespace nerova
