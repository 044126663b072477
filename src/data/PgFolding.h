#pragma once

#include "data/Schema.h"

#include <QString>
#include <QVariantList>

// How the office server compares texts with letter case ignored. Its columns sort in "C"
// order, whose lower() maps A to Z only; the program ignores case beyond them, so both sides
// are lowered by ICU's full Unicode case mapping (the collation `casefold`, made with the
// tables).

namespace nerova {

// True when the two texts are equal with letter case ignored.
QString pgCaseFoldEquals(const QString& lhs, const QString& rhs);
// The folded text of a column, in the order of its bytes: the key of a folded index.
QString pgFoldedText(const QString& quotedColumn);
// True when the column's text begins with prefix, letter case ignored; a range of the
// column's folded index where the table has one. The parameters are appended to binds.
QString pgFoldedPrefix(TableId id, const QString& column, const QString& prefix,
                       QVariantList& binds);

} // namespace nerova
