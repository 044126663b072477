#pragma once

#include "data/Result.h"
#include "data/Schema.h"

#include <QList>
#include <QPair>
#include <QString>

namespace nerova {

// A restore replaces several table files. It first extracts every file beside its table
// ("staged"), then writes down which staged file goes where (the plan), and only then
// renames them into place. A restore cut short while renaming (a power cut, a killed
// process) is finished from its plan the next time the tables are checked, so the tables
// never stay a mix of two moments; staged files without a plan are thrown away.

// Prefix of the staged files in the database directory.
inline constexpr const char* kRestoreStagePrefix = ".NRVA2002restore-";

// One staged file (its full path) and the bare file name it is to take.
using StagedFile = QPair<QString, QString>;

// Writes the plan durably; a failure says why.
Result writeRestorePlan(const QString& dir, const QList<StagedFile>& staged);
// Renames a staged file onto its table file, replacing whatever spelling of that name is
// there, so the folder keeps exactly one file per table.
Result placeRestoredFile(const QString& dir, const QString& stagedPath, const QString& bareName);

// The same answering false and the reason in error, for the restore window.
inline bool writeRestorePlan(const QString& dir, const QList<StagedFile>& staged, QString& error) {
    const Result r = writeRestorePlan(dir, staged);
    if (!r)
        error = r.error();
    return r;
}
inline bool placeRestoredFile(const QString& dir, const QString& stagedPath,
                              const QString& bareName, QString& error) {
    const Result r = placeRestoredFile(dir, stagedPath, bareName);
    if (!r)
        error = r.error();
    return r;
}
// Removes the plan once every staged file is in place.
void removeRestorePlan(const QString& dir);
// Finishes a restore that was cut short and clears away staged files nobody will place.
void finishInterruptedRestore(const QString& dir);

// Checks that the file at path is a table file of ours for id: it opens as a database,
// passes SQLite's integrity check, holds the table with the schema's columns in order and
// carries a schema version we know. A failure says why. The file is only read.
Result checkTableFile(const QString& path, TableId id);
// The same as the reason alone, empty when the file is one of ours.
inline QString tableFileProblem(const QString& path, TableId id) {
    return checkTableFile(path, id).error();
}

} // namespace nerova
