#include "data/TableFileRows.h"

#include "data/Statement.h"

#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>

namespace nerova {

qint64 tableFileRowCount(const QString& path, TableId id) {
    if (!QFileInfo::exists(path))
        return 0;
    const QByteArray uri =
        "file:" + QUrl::fromLocalFile(path).toEncoded(QUrl::RemoveScheme) + "?mode=ro&immutable=1";
    sqlite3* db = nullptr;
    qint64 rows = -1;
    if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
        SQLITE_OK) {
        const QByteArray sql = QStringLiteral("SELECT count(*) FROM %1")
                                   .arg(quoteIdent(QString::fromLatin1(tableDef(id).baseName)))
                                   .toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            rows = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close_v2(db);
    return rows;
}

} // namespace nerova
