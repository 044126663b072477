// Writes the large benchmark database (make-large-db) out again as the former program kept
// its tables, with pxlib's writing functions, for the import benchmark:
//   make-old-tables [DIR [OUT]]
// reads DIR (default $NEROVA_BENCH_DB or /tmp/nerova-large) and writes OUT (default
// DIR-old): NRVA2002Company.DB … NRVA2002Flow.DB, with .MB memo files.

#include "data/Database.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "support/OldTableWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <cstdlib>

using namespace nerova;
using nerova::testing::OldTableWriter;

namespace {

QString dbDir() {
    const char* env = std::getenv("NEROVA_BENCH_DB");
    return QString::fromLocal8Bit(env && *env ? env : "/tmp/nerova-large");
}
QString registryPath(const QString& dir) {
    return dir + QStringLiteral("/aliases.ini");
}
QString dataDir(const QString& dir) {
    return dir + QStringLiteral("/data");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dbDir();
    const QString out = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir + QStringLiteral("-old");
    if (!QFile::exists(registryPath(dir))) {
        std::fprintf(stderr, "no database in %s: run make-large-db first\n", qPrintable(dir));
        return 1;
    }
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    QElapsedTimer clock;
    clock.start();
    Database db(registryPath(dir), dataDir(dir));
    for (const TableId id : kAllTables) {
        const TableDef& def = tableDef(id);
        db.acquire(id);
        qint64 expected = 0;
        {
            const auto count =
                db.prepared(QStringLiteral("SELECT count(*) FROM %1").arg(db.qualifiedName(id)));
            expected = count->step() ? count->int64(0) : 0;
            count->reset();
        }
        OldTableWriter writer(QDir(out).filePath(QStringLiteral("NRVA2002") +
                                                 QString::fromLatin1(def.label) +
                                                 QStringLiteral(".DB")),
                              OldTableWriter::fieldsOf(static_cast<int>(id)), def.keyCount, 1252,
                              std::max<qint64>(expected, 1));
        qint64 rows = 0;
        {
            const auto st = db.streamed(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                                            .arg(quotedList(def.columnNames()),
                                                 db.qualifiedName(id), quotedList(def.keyNames())));
            QVariantList values;
            while (st->step()) {
                values.clear();
                for (int i = 0; i < static_cast<int>(def.columns.size()); ++i)
                    values << typedValue(*st, i, def.columns[static_cast<std::size_t>(i)].type);
                writer.append(values);
                ++rows;
            }
            st->reset();
        }
        db.release(id);
        writer.close();
        std::printf("%s: %lld records\n", def.baseName, static_cast<long long>(rows));
    }
    std::printf("written to %s in %.1f s\n", qPrintable(out), clock.elapsed() / 1000.0);
    return 0;
}
