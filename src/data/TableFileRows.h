#pragma once

#include "data/Schema.h"

#include <QString>

namespace nerova {

// The number of rows in the table file at path holding the table id, read without touching
// the file (no lock, no journal); -1 when it cannot be read as that table, 0 when there is
// no file. For saying what a restore would replace before anything is replaced.
qint64 tableFileRowCount(const QString& path, TableId id);

} // namespace nerova
