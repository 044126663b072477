#include "data/Leftovers.h"

#include "data/Database.h"
#include "data/DatabaseCopy.h"
#include "data/RestorePlan.h"
#include "data/Schema.h"
#include "data/TableFilesAside.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>

#include <sqlite3.h>

namespace nerova {

namespace {

QString& registerFolder() {
    static QString folder;
    return folder;
}

const QString kNoteSuffix = QStringLiteral(".path");
const QString kLockSuffix = QStringLiteral(".lck");

// The connection's main database; a transaction over several tables writes its
// super-journal beside it ("NRVA2002main.db-mj…").
const QString kSuperJournals = QStringLiteral("NRVA2002main.db-mj*");

void removePath(const QString& path) {
    const QFileInfo info(path);
    if (!isPassingName(info.fileName()))
        return; // written down by someone else's hand: not ours to remove
    if (info.isDir() && !info.isSymLink()) {
        QDir(path).removeRecursively();
        return;
    }
    QFile::remove(path);
    // libzip writes an archive through a passing file of its own beside it.
    const QDir folder = info.absoluteDir();
    for (const QString& name :
         folder.entryList({info.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden)) {
        if (isPassingName(name))
            QFile::remove(folder.filePath(name));
    }
}

// Opening a table file with a journal beside it rolls back the transaction the journal
// holds, or drops the journal when its transaction had committed; either way the table is
// whole again.
void settleJournals(const QString& dir) {
    for (TableId id : kAllTables) {
        const QString table = findFileNoCase(dir, tableDef(id).fileName());
        if (table.isEmpty() || !QFileInfo::exists(table + QStringLiteral("-journal")))
            continue;
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(table).constData(), &db, SQLITE_OPEN_READWRITE,
                            nullptr) == SQLITE_OK)
            sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
}

// SQLite rolls a journal back only when its first byte is not zero; one cut short before its
// header was written holds nothing to roll back and names no super-journal.
bool journalHoldsWork(const QString& path) {
    QFile f(path);
    char first = 0;
    return f.open(QIODevice::ReadOnly) && f.read(&first, 1) == 1 && first != 0;
}

void removeSuperJournals(const QString& dir) {
    const QDir d(dir);
    const QStringList supers = d.entryList({kSuperJournals}, QDir::Files | QDir::Hidden);
    if (supers.isEmpty())
        return;
    settleJournals(dir);
    // A journal still holding work may name its super-journal: without it, the journal's
    // transaction would count as committed. Such a table is left for the engine to settle
    // when it opens; a journal holding nothing goes with the super-journals.
    QStringList dead;
    for (TableId id : kAllTables) {
        const QString table = findFileNoCase(dir, tableDef(id).fileName());
        const QString journal = table + QStringLiteral("-journal");
        if (table.isEmpty() || !QFileInfo::exists(journal))
            continue;
        if (journalHoldsWork(journal))
            return;
        dead << journal;
    }
    for (const QString& path : std::as_const(dead))
        QFile::remove(path);
    for (const QString& name : supers)
        QFile::remove(d.filePath(name));
}

} // namespace

void setPassingRegister(const QString& folder) {
    registerFolder() = folder;
}

PassingPathHolder::PassingPathHolder(const QString& path) {
    const QString folder = registerFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return;
    const QString base =
        QDir(folder).filePath(QString::number(QRandomGenerator::global()->generate64(), 36));
    // The lock first: a note without a held lock is one the next start may act on.
    m_lock = std::make_unique<QLockFile>(base + kLockSuffix);
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return;
    }
    QSaveFile note(base + kNoteSuffix);
    if (note.open(QIODevice::WriteOnly)) {
        note.write(QFile::encodeName(QFileInfo(path).absoluteFilePath()));
        if (note.commit())
            m_note = base + kNoteSuffix;
    }
}

PassingPathHolder::~PassingPathHolder() {
    if (!m_note.isEmpty())
        QFile::remove(m_note);
    if (m_lock)
        m_lock->unlock();
}

bool isPassingName(const QString& fileName) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\.NRVA2002DataBackup[0-9a-f]{1,8}\\.partial(\\.[A-Za-z0-9]{6})?|"
                       "nerova2002-tables-[A-Za-z0-9]{6})$"));
    return pattern.match(fileName).hasMatch();
}

void removePassingLeftovers() {
    const QString folder = registerFolder();
    if (folder.isEmpty())
        return;
    const QDir d(folder);
    for (const QString& name :
         d.entryList({QLatin1Char('*') + kNoteSuffix}, QDir::Files | QDir::Hidden)) {
        const QString base = d.filePath(name.chopped(kNoteSuffix.size()));
        QLockFile lock(base + kLockSuffix);
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue; // its run goes on
        QFile note(base + kNoteSuffix);
        if (note.open(QIODevice::ReadOnly))
            removePath(QFile::decodeName(note.readAll()));
        note.close();
        QFile::remove(base + kNoteSuffix);
    }
}

void removeLeftovers(const QString& databaseDirectory) {
    if (!QFileInfo(databaseDirectory).isDir())
        return;
    finishInterruptedRestore(databaseDirectory);
    const QDir d(databaseDirectory);
    for (TableId id : kAllTables) // a creation cut short before its file was in place
        QFile::remove(
            d.filePath(QLatin1Char('.') + tableDef(id).fileName() + QStringLiteral(".new")));
    removeSuperJournals(databaseDirectory);
    removeUnfinishedCopy(databaseDirectory);
    // A restore killed after it made the folder for the tables it replaces, before it moved
    // any: rmdir takes only an empty one.
    for (const QString& name : d.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (isReplacedTablesFolder(name))
            d.rmdir(name);
    }
}

} // namespace nerova
