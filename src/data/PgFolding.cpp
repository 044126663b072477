#include "data/PgFolding.h"

#include "data/Backend.h"
#include "data/Statement.h"

#include <algorithm>

namespace nerova {

QString pgCaseFoldEquals(const QString& lhs, const QString& rhs) {
    return QStringLiteral("lower(%1 COLLATE casefold) = lower(%2 COLLATE casefold)").arg(lhs, rhs);
}

QString pgFoldedText(const QString& quotedColumn) {
    return QStringLiteral("(lower(%1 COLLATE casefold)) COLLATE \"C\"").arg(quotedColumn);
}

QString pgFoldedPrefix(TableId id, const QString& column, const QString& prefix,
                       QVariantList& binds) {
    const auto indexed = [&](const IndexDef& index) {
        return index.parts.size() == 1 && index.parts[0].term == IndexTerm::CaseFolded &&
               column.compare(QLatin1String(index.parts[0].column), Qt::CaseInsensitive) == 0;
    };
    const std::span<const IndexDef> indexes = tableDef(id).indexes;
    // A sigma lowers to its final form at the end of a cut text but not inside the whole one,
    // so the range stops before the first sigma; the exact comparison always decides.
    qsizetype cut = prefix.size();
    for (const QChar sigma : {QChar(0x03A3), QChar(0x03C3), QChar(0x03C2)})
        if (const qsizetype at = prefix.indexOf(sigma); at >= 0)
            cut = std::min(cut, at);
    const QString start = prefix.left(cut);
    QString range;
    if (!start.isEmpty() && std::any_of(indexes.begin(), indexes.end(), indexed)) {
        // The texts beginning with the folded start lie between it and it followed by the
        // highest character, in the order of their bytes.
        range = QStringLiteral("%1 >= lower(? COLLATE casefold) COLLATE \"C\" AND %1 < "
                               "(lower(? COLLATE casefold) || chr(1114111)) COLLATE \"C\" AND ")
                    .arg(pgFoldedText(quoteIdent(column)));
        binds << start << start;
    }
    const auto [lhs, rhs] = prefixSides(column, prefix, binds);
    return range + pgCaseFoldEquals(lhs, rhs);
}

} // namespace nerova
