#pragma once

#include <QString>

class QWidget;

namespace nerova {

class Database;

// Backup and restore of a server database go through table files, so that an archive is the
// same whichever kind of database wrote it: an office backup restores on a laptop and back.
// The server's tables are copied into a passing folder, the backup or restore window works
// on that folder, and a restore's result goes back into the server in one transaction.
// No table of the database may be open. Throws EngineError when the server cannot be read.

// The backup window on a copy of the server's tables; the archive goes to a folder of the
// user's choice, first offered in startFolder. Answers what was written, as the user is told
// it; empty when nothing was.
QString backupServerDatabase(Database& server, const QString& startFolder, QWidget* parent);

// The restore window on a copy of the server's tables; when the restore changed them, they
// replace the server's rows all together, or none of them when the server refuses one (the
// reason is shown and the closing message is not).
void restoreServerDatabase(Database& server, const QString& startFolder, QWidget* parent);

// The folder the backup and restore windows offer first: the user's documents, or the home
// folder; never the data folder (a restore replaces what is there) nor the program's
// configuration folder. dataFolder is empty for a server database.
QString archiveStartFolder(const QString& dataFolder = {});

} // namespace nerova
