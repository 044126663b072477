#include "backup/TableFiles.h"

#include "data/Schema.h"

#include <algorithm>

namespace nerova {

const QStringList& tableFileWords() {
    static const QStringList words = [] {
        QStringList out;
        for (TableId id : kAllTables)
            out << QString::fromLatin1(tableDef(id).label);
        return out;
    }();
    return words;
}

bool isTableFile(const QString& fileName, const QString& word) {
    const QString prefix = QStringLiteral("NRVA2002") + word + QLatin1Char('.');
    return fileName.startsWith(prefix, Qt::CaseInsensitive);
}

QString bareFileName(const QString& entryName) {
    qsizetype cut = -1;
    for (QChar c : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
        cut = std::max(cut, entryName.lastIndexOf(c));
    return entryName.mid(cut + 1);
}

} // namespace nerova
