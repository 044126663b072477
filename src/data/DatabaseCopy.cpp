#include "data/DatabaseCopy.h"

#include "data/Backend.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Statement.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTime>
#include <cstring>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace nerova {

namespace {

// Keeps every table usable while the copy reads or writes it, whatever happens.
class AllTablesOpen {
public:
    explicit AllTablesOpen(Database& db) : m_db(db) {
        for (const TableId id : kAllTables) {
            m_db.acquire(id);
            m_opened.push_back(id);
        }
    }
    ~AllTablesOpen() {
        for (const TableId id : m_opened)
            m_db.release(id);
    }
    AllTablesOpen(const AllTablesOpen&) = delete;
    AllTablesOpen& operator=(const AllTablesOpen&) = delete;

private:
    Database& m_db;
    std::vector<TableId> m_opened;
};

// Adds one value to a checksum in a text that is the same whichever backend it came from;
// the length in front keeps "ab","c" apart from "a","bc".
void addCanonical(QCryptographicHash& hash, const QVariant& v) {
    if (!v.isValid() || v.isNull()) {
        hash.addData(QByteArrayView("-;"));
        return;
    }
    QByteArray text;
    switch (v.typeId()) {
    case QMetaType::Bool:
        text = v.toBool() ? "1" : "0";
        break;
    case QMetaType::Double:
        text = QByteArray::number(v.toDouble(), 'g', 17);
        break;
    case QMetaType::QDate:
        text = v.toDate().toString(Qt::ISODate).toUtf8();
        break;
    case QMetaType::QTime:
        text = v.toTime().toString(QStringLiteral("HH:mm:ss")).toUtf8();
        break;
    default:
        text = v.toString().toUtf8();
    }
    hash.addData(QByteArray::number(text.size()) + ':');
    hash.addData(text);
}

QString selectAllSql(Database& db, TableId id) {
    const TableDef& def = tableDef(id);
    return QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
        .arg(quotedList(def.columnNames()), db.qualifiedName(id), quotedList(def.keyNames()));
}

// Reads every row of a table in key order, handing each to `row` and counting it into the
// tally.
template <typename RowFn> TableTally readTable(Database& db, TableId id, RowFn&& row) {
    const TableDef& def = tableDef(id);
    const int n = static_cast<int>(def.columns.size());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    TableTally tally;
    tally.id = id;
    const auto st = db.streamed(selectAllSql(db, id));
    QVariantList values;
    while (st->step()) {
        values.clear();
        values.reserve(n);
        for (int i = 0; i < n; ++i) {
            values << typedValue(*st, i, def.columns[static_cast<std::size_t>(i)].type);
            addCanonical(hash, values.back());
        }
        hash.addData(QByteArrayView("\n"));
        ++tally.rows;
        row(values, tally.rows);
    }
    st->reset();
    tally.checksum = hash.result().toHex();
    return tally;
}

qint64 rowCount(Database& db, TableId id) {
    const auto st =
        db.prepared(QStringLiteral("SELECT count(*) FROM %1").arg(db.qualifiedName(id)));
    const qint64 n = st->step() ? st->int64(0) : 0;
    st->reset();
    return n;
}

// In the target's open transaction: refuses a target that holds rows, or empties it.
void emptyTarget(Database& to, CopyMode mode) {
    if (mode == CopyMode::RefuseRows) {
        for (const TableId id : kAllTables) {
            const qint64 rows = rowCount(to, id);
            if (rows > 0)
                throw EngineError(
                    QStringLiteral("%1 already holds %2 rows in its %3 table; nothing was copied.")
                        .arg(to.displayName())
                        .arg(rows)
                        .arg(QString::fromLatin1(tableDef(id).label)));
        }
    } else {
        // The deepest table first, so no row is ever without its owner.
        for (int level = kTableCount - 1; level >= 0; --level)
            to.exec(QStringLiteral("DELETE FROM %1").arg(to.qualifiedName(levelAt(level))));
    }
}

// A checksum of rows that does not depend on their order: the SHA-256 of each row, added up
// in four 64-bit lanes. Unlike an exclusive or, a row that comes twice does not cancel out.
// Each value goes in as its bits (numbers, dates and times exactly, text as UTF-16) rather
// than as text: printing every number to 17 digits was most of an import's time.
class UnorderedTally {
public:
    explicit UnorderedTally(TableId id) { m_tally.id = id; }
    void add(const QVariantList& values) {
        m_row.clear();
        for (const QVariant& v : values)
            addValue(v);
        const QByteArray digest = QCryptographicHash::hash(m_row, QCryptographicHash::Sha256);
        for (int lane = 0; lane < 4; ++lane) {
            quint64 part = 0;
            std::memcpy(&part, digest.constData() + lane * 8, 8);
            m_lanes[lane] += part;
        }
        ++m_tally.rows;
    }
    qint64 rows() const { return m_tally.rows; }
    TableTally result() const {
        TableTally t = m_tally;
        t.checksum = QByteArray(reinterpret_cast<const char*>(m_lanes), sizeof m_lanes).toHex();
        return t;
    }

private:
    template <typename T> void addBits(char tag, T value) {
        m_row.append(tag);
        m_row.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void addValue(const QVariant& v) {
        if (!v.isValid() || v.isNull()) {
            m_row.append('-');
            return;
        }
        switch (v.typeId()) {
        case QMetaType::Bool:
            m_row.append(v.toBool() ? "b1" : "b0", 2);
            return;
        case QMetaType::Double:
        case QMetaType::Int:
        case QMetaType::LongLong: {
            const double d = v.toDouble();
            addBits('d', d == 0 ? 0.0 : d); // a stored -0 may come back as 0
            return;
        }
        case QMetaType::QDate:
            addBits('D', v.toDate().toJulianDay());
            return;
        case QMetaType::QTime:
            addBits('T', v.toTime().msecsSinceStartOfDay());
            return;
        default: {
            const QString text = v.toString();
            addBits('s', static_cast<qint64>(text.size()));
            m_row.append(reinterpret_cast<const char*>(text.constData()),
                         text.size() * static_cast<qsizetype>(sizeof(QChar)));
        }
        }
    }

    TableTally m_tally;
    quint64 m_lanes[4] = {0, 0, 0, 0};
    QByteArray m_row;
};

const QString kUnfinishedName = QStringLiteral(".NRVA2002copy.unfinished");

// The tables a copy made in a folder, written down there until the copy is done; a copy
// that fails removes them again, and one that is killed leaves the note for the next start.
class UnfinishedCopy {
public:
    UnfinishedCopy(Database& to, const QList<TableId>& made) {
        if (to.isServer() || made.isEmpty())
            return;
        m_dir = to.location().directory;
        QSaveFile note(QDir(m_dir).filePath(kUnfinishedName));
        if (!note.open(QIODevice::WriteOnly))
            throw EngineError(QStringLiteral("Cannot write in %1: %2")
                                  .arg(QDir::toNativeSeparators(m_dir), note.errorString()),
                              EngineError::Code::Io);
        for (const TableId id : made)
            note.write(tableDef(id).fileName().toUtf8() + '\n');
        if (!note.commit())
            throw EngineError(QStringLiteral("Cannot write in %1: %2")
                                  .arg(QDir::toNativeSeparators(m_dir), note.errorString()),
                              EngineError::Code::Io);
    }
    ~UnfinishedCopy() {
        if (!m_dir.isEmpty())
            removeUnfinishedCopy(m_dir);
    }
    UnfinishedCopy(const UnfinishedCopy&) = delete;
    UnfinishedCopy& operator=(const UnfinishedCopy&) = delete;

    void done() {
        if (!m_dir.isEmpty())
            QFile::remove(QDir(m_dir).filePath(kUnfinishedName));
        m_dir.clear();
    }

private:
    QString m_dir;
};

// True when the table file holds no row; its journal, if any, is settled by the reading.
bool emptyTableFile(const QString& path, TableId id) {
    sqlite3* db = nullptr;
    bool empty = false;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = "SELECT count(*) FROM " +
                               quoteIdent(QString::fromLatin1(tableDef(id).baseName)).toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            empty = sqlite3_column_int64(st, 0) == 0;
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return empty;
}

// The refusal when a table read back from the target differs from what went in: `text`
// takes the table (%1), then the rows and checksum of the source (%2, %3) and the target's.
void requireSame(const TableTally& source, const TableTally& target, const QString& text) {
    if (target == source)
        return;
    throw EngineError(text.arg(QString::fromLatin1(tableDef(source.id).label))
                          .arg(source.rows)
                          .arg(QString::fromLatin1(source.checksum.left(12)))
                          .arg(target.rows)
                          .arg(QString::fromLatin1(target.checksum.left(12))));
}

// Makes the target's missing tables, then fills them. Tables made here go again when the
// fill fails or the program is killed: a server makes them inside a transaction of the
// fill's own; a folder writes them down until the fill is done.
template <typename Fill> QList<TableTally> intoMadeTables(Database& to, Fill&& fill) {
    QList<TableId> missing;
    for (const TableId id : kAllTables)
        if (!to.tablePresent(id))
            missing << id;
    std::optional<Database::Transaction> makingTx;
    if (to.isServer() && !missing.isEmpty())
        makingTx.emplace(to);
    UnfinishedCopy unfinished(to, missing);
    for (const TableId id : std::as_const(missing))
        to.createTable(id);
    const QList<TableTally> filled = fill();
    if (makingTx)
        makingTx->commit();
    unfinished.done();
    return filled;
}

} // namespace

void removeUnfinishedCopy(const QString& directory) {
    const QString notePath = QDir(directory).filePath(kUnfinishedName);
    QFile note(notePath);
    if (!note.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> names = note.readAll().split('\n');
    note.close();
    for (const TableId id : kAllTables) {
        if (!names.contains(tableDef(id).fileName().toUtf8()))
            continue;
        const QString path = QDir(directory).filePath(tableDef(id).fileName());
        if (QFileInfo::exists(path) && emptyTableFile(path, id)) {
            QFile::remove(path + QStringLiteral("-journal"));
            QFile::remove(path);
        }
    }
    QFile::remove(notePath);
}

QList<TableTally> tallyDatabase(Database& db) {
    AllTablesOpen open(db);
    Database::Transaction tx(db); // one moment of the data, as the copy reads it
    QList<TableTally> tallies;
    for (const TableId id : kAllTables)
        tallies << readTable(db, id, [](const QVariantList&, qint64) {});
    tx.commit();
    return tallies;
}

namespace {
QList<TableTally> fillTables(Database& from, Database& to, CopyMode mode,
                             const CopyProgress& progress);
} // namespace

QList<TableTally> copyDatabase(Database& from, Database& to, CopyMode mode,
                               const CopyProgress& progress) {
    if (from.location().sameAs(to.location()))
        throw EngineError(QStringLiteral("The source and the target are the same database."));
    AllTablesOpen sourceOpen(
        from); // a source without its tables stops before the target is touched
    return intoMadeTables(to, [&] { return fillTables(from, to, mode, progress); });
}

namespace {

QList<TableTally> fillTables(Database& from, Database& to, CopyMode mode,
                             const CopyProgress& progress) {
    AllTablesOpen targetOpen(to);
    // One moment of the source, whatever others write to it meanwhile.
    Database::Transaction readTx(from, Database::Transaction::SnapshotRead{});
    Database::Transaction writeTx(to);

    emptyTarget(to, mode);

    QList<TableTally> copied;
    for (const TableId id : kAllTables) {
        if (progress)
            progress(id, 0);
        const std::unique_ptr<RowWriter> writer = to.rowWriter(id);
        copied << readTable(from, id, [&](const QVariantList& values, qint64 done) {
            writer->write(values);
            if (progress && done % 5000 == 0)
                progress(id, done);
        });
        writer->finish();
    }

    // Read back what the target now holds: it is kept only when every table matches.
    for (const TableTally& source : std::as_const(copied)) {
        const TableTally target = readTable(to, source.id, [](const QVariantList&, qint64) {});
        requireSame(source, target,
                    QStringLiteral("The copy of the %1 table does not match its source (%2 rows, "
                                   "checksum %3; the copy %4 rows, checksum %5); nothing was "
                                   "copied."));
    }
    writeTx.commit();
    readTx.commit();
    return copied;
}

} // namespace

QList<qint64> rowCounts(Database& db) {
    QList<qint64> counts;
    for (const TableId id : kAllTables) {
        if (!db.tablePresent(id)) {
            counts << 0;
            continue;
        }
        db.acquire(id);
        try {
            counts << rowCount(db, id);
        } catch (...) {
            db.release(id);
            throw;
        }
        db.release(id);
    }
    return counts;
}

namespace {
QList<TableTally> writeAndCheck(RowSource& from, Database& to, CopyMode mode,
                                const CopyProgress& progress);
} // namespace

QList<TableTally> writeRows(RowSource& from, Database& to, CopyMode mode,
                            const CopyProgress& progress) {
    return intoMadeTables(to, [&] { return writeAndCheck(from, to, mode, progress); });
}

namespace {

QList<TableTally> writeAndCheck(RowSource& from, Database& to, CopyMode mode,
                                const CopyProgress& progress) {
    AllTablesOpen targetOpen(to);
    Database::Transaction writeTx(to);
    emptyTarget(to, mode);

    QList<TableTally> written;
    for (const TableId id : kAllTables) {
        if (progress)
            progress(id, 0);
        const int columns = static_cast<int>(tableDef(id).columns.size());
        const std::unique_ptr<RowWriter> writer = to.rowWriter(id);
        UnorderedTally tally(id);
        from.readRows(id, [&](const QVariantList& values) {
            if (values.size() != columns)
                throw EngineError(QStringLiteral("A row of the %1 table has %2 values, not %3.")
                                      .arg(QString::fromLatin1(tableDef(id).label))
                                      .arg(values.size())
                                      .arg(columns));
            writer->write(values);
            tally.add(values);
            const qint64 done = tally.rows();
            if (progress && done % 5000 == 0)
                progress(id, done);
        });
        writer->finish();
        written << tally.result();
    }

    for (const TableTally& source : std::as_const(written)) {
        const TableDef& def = tableDef(source.id);
        const int n = static_cast<int>(def.columns.size());
        UnorderedTally back(source.id);
        const auto st =
            to.streamed(QStringLiteral("SELECT %1 FROM %2")
                            .arg(quotedList(def.columnNames()), to.qualifiedName(source.id)));
        QVariantList values;
        while (st->step()) {
            values.clear();
            for (int i = 0; i < n; ++i)
                values << typedValue(*st, i, def.columns[static_cast<std::size_t>(i)].type);
            back.add(values);
        }
        st->reset();
        const TableTally target = back.result();
        requireSame(source, target,
                    QStringLiteral("The %1 table as written does not match what was read (%2 "
                                   "rows, checksum %3; written %4 rows, checksum %5); nothing was "
                                   "written."));
    }
    writeTx.commit();
    return written;
}

} // namespace

} // namespace nerova
