#pragma once

class QWidget;

namespace nerova {

class Database;
class TRestoreFrm;

// Restore refuses an archive whose tables are not ours. When they are the former program's
// tables, the user is offered their import into db instead, in the import window, which
// lists what it found before anything is written.
void offerOldDataImport(TRestoreFrm& restore, Database& db, QWidget* parent);

} // namespace nerova
