#pragma once

#include "data/Schema.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

namespace nerova {

// Making a table afresh must never cost the user the table it replaces: one Enter on the
// creation question used to wipe years of records when a single file was missing. Before a
// table is created, every file of it in the database directory (every "NRVA2002<Table>.*",
// letter case ignored, so a journal goes with its table) is moved, bytes unchanged, into a
// folder inside the database directory named for the moment ("Replaced 2026-12-09
// 10-15-00", then " (2)" … when that exists). Copying them back is the way back. One
// folder serves one creation run and is made only when there is something to move; the
// table check, backup's real files and restore look only at the directory itself.
class TableFilesAside {
public:
    TableFilesAside(QString databaseDir, QDateTime moment);
    // Into a folder made earlier: a restore cut short goes on with the folder it chose.
    static TableFilesAside intoFolder(QString databaseDir, const QString& folderName);

    // Makes the folder now (when not made yet) and answers its path, so that a restore can
    // write it down before anything moves. Throws EngineError when it cannot be made.
    QString makeFolder();
    // Removes the folder again when nothing went into it.
    void removeFolderIfEmpty();

    // Moves the table's files into the folder. Throws EngineError when one cannot be moved;
    // the files of this table moved so far are first put back where they were.
    void take(TableId id);
    // Puts the files of the last take() back (creation failed after they were moved).
    void putBack();

    QString folderPath() const { return m_folder; } // empty until made

private:
    QString m_dir;
    QDateTime m_moment;
    QString m_folder;
    QList<QPair<QString, QString>> m_lastMoved; // from, to
};

// The name of the folder for a moment, before any " (2)".
QString replacedFolderName(const QDateTime& moment);
// True for a folder name made by replacedFolderName, with or without its " (n)": a scan
// of the database directory that descends into folders must skip these, or old files
// (a journal above all) would travel back beside the new tables.
bool isReplacedTablesFolder(const QString& folderName);

} // namespace nerova
