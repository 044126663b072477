#pragma once

// Helpers shared by the backup and restore tests: table files with known bytes, times and
// modes, and a look at an archive's raw local headers.

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QString>
#include <QTemporaryDir>
#include <QTimeZone>

#include "data/Database.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <zip.h>

namespace nerova::test {

// Even seconds: a ZIP entry keeps its time in two-second steps.
inline QDateTime fixtureTime(int minutes = 0) {
    return QDateTime(QDate(2002, 7, 15), QTime(10, 20, 30), QTimeZone::utc()).addSecs(minutes * 60);
}

inline void writeFile(const QString& path, const QByteArray& bytes,
                      const QDateTime& modified = fixtureTime(), int mode = 0644) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
    f.flush();
    f.setFileTime(modified, QFileDevice::FileModificationTime);
    f.close();
    ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode));
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

inline int fileMode(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return static_cast<int>(st.st_mode & 07777);
}

// Bytes that deflate well, different for every name and version.
inline QByteArray tableBytes(const QString& name, const QString& version) {
    return QStringLiteral("%1 %2 ").arg(name, version).toUtf8().repeated(200);
}

// A real, empty table file of the table named word ("Company" …), its bytes different for
// every version (the version goes into the header's application id).
inline QByteArray tableFileBytes(const QString& word, const QString& version) {
    static QHash<QString, QByteArray> made;
    const QString key = word + QLatin1Char('|') + version;
    if (!made.contains(key)) {
        QTemporaryDir dir;
        Database engine(dir.filePath("aliases.ini"), dir.filePath("data"));
        for (TableId id : kAllTables) {
            if (word.compare(QLatin1String(tableDef(id).label), Qt::CaseInsensitive) != 0)
                continue;
            engine.createTable(id);
            const QString path = engine.tableFilePath(id);
            sqlite3* db = nullptr;
            sqlite3_open(QFile::encodeName(path).constData(), &db);
            const QByteArray sql =
                "PRAGMA application_id=" + QByteArray::number(qHash(version) & 0x7fffffff);
            sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
            sqlite3_close(db);
            made.insert(key, readFile(path));
        }
    }
    return made.value(key);
}

// An archive written with libzip itself, so that the restore can be fed entries our own
// backup never writes (folder parts, stored data, odd names).
struct RawEntry {
    QString name;
    QByteArray data;
    bool stored = false;
    int mode = 0644;
};

inline void writeRawArchive(const QString& path, const QList<RawEntry>& entries) {
    QFile::remove(path);
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!za)
        qFatal("zip_open failed");
    QList<QByteArray> keep; // libzip reads the buffers when it closes
    for (const RawEntry& e : entries) {
        keep << e.data;
        zip_source_t* src = zip_source_buffer(za, keep.last().constData(),
                                              static_cast<zip_uint64_t>(keep.last().size()), 0);
        const zip_int64_t at = zip_file_add(za, e.name.toUtf8().constData(), src, 0);
        if (at < 0)
            qFatal("zip_file_add failed");
        zip_set_file_compression(za, static_cast<zip_uint64_t>(at),
                                 e.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
        zip_file_set_mtime(za, static_cast<zip_uint64_t>(at),
                           static_cast<time_t>(fixtureTime(30).toSecsSinceEpoch()), 0);
        zip_file_set_external_attributes(za, static_cast<zip_uint64_t>(at), 0, ZIP_OPSYS_UNIX,
                                         static_cast<zip_uint32_t>(0100000 | e.mode) << 16);
    }
    if (zip_close(za) != 0)
        qFatal("zip_close failed");
}

// General-purpose flags of each local header, by entry name. Bits 1-2 of a deflated
// entry say how hard it was compressed (01 = maximum).
inline QHash<QString, quint16> localHeaderFlags(const QString& path) {
    const QByteArray raw = readFile(path);
    QHash<QString, quint16> out;
    const QByteArray signature("PK\x03\x04", 4);
    auto u16 = [&](qsizetype at) {
        return static_cast<quint16>(static_cast<quint8>(raw[at]) |
                                    (static_cast<quint8>(raw[at + 1]) << 8));
    };
    for (qsizetype at = raw.indexOf(signature); at >= 0 && at + 30 <= raw.size();
         at = raw.indexOf(signature, at + 4)) {
        const quint16 nameLength = u16(at + 26);
        out.insert(QString::fromUtf8(raw.mid(at + 30, nameLength)), u16(at + 6));
    }
    return out;
}

} // namespace nerova::test
