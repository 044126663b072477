#pragma once

#include "backup/RestoreFrm.h"

class QWidget;

namespace nerova {

class Database;

// Restore refuses an archive whose tables are not ours. When they are the former program's
// tables, this handler offers their import into db instead, in the import window, which
// lists what it found before anything is written.
TRestoreFrm::ForeignArchiveHandler oldDataImportOffer(Database& db, QWidget* parent);

} // namespace nerova
