#pragma once

#include "backup/RestoreFrm.h"

#include <QString>

class QWidget;

namespace nerova {

class Database;

// The Backup and Restore commands: the backup or restore window on the tables of db, as
// table files whatever kind of database holds them (see TableFilesHolder). No table of the
// database may be open. Throws EngineError when the tables cannot be read.

// The backup window; the archive goes to a folder of the user's choice. Answers what was
// written, as the user is told it; empty when nothing was.
QString backupDatabase(Database& db, QWidget* parent);

// The restore window; when it changed a server's tables, they replace the server's rows all
// together, or none of them when the server refuses one (the reason is shown and the closing
// message is not). foreignArchive is handed an archive whose tables are not ours.
void restoreDatabase(Database& db, QWidget* parent,
                     const TRestoreFrm::ForeignArchiveHandler& foreignArchive = {});

// The folder the backup and restore windows offer first: the user's documents, or the home
// folder; never the data folder (a restore replaces what is there) nor the program's
// configuration folder. dataFolder is empty for a server database.
QString archiveStartFolder(const QString& dataFolder = {});

} // namespace nerova
