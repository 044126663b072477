#pragma once

#include "data/DatabaseCopy.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace nerova {

class Database;
class PassingPathHolder;

// Backup and restore work on table files, so that an archive is the same whichever kind of
// database wrote it: an office backup restores on a laptop and back. This holds a database's
// tables as a folder of table files for as long as the archive window needs them: a file
// database's own folder, or for a server a passing folder with a copy of its tables, whose
// changes go back into the server all together. No table of the database may be open.
class TableFilesHolder {
public:
    // Throws EngineError when a server cannot be read or no passing folder can be made.
    explicit TableFilesHolder(Database& db);
    ~TableFilesHolder();
    TableFilesHolder(const TableFilesHolder&) = delete;
    TableFilesHolder& operator=(const TableFilesHolder&) = delete;

    // The folder the archive windows work in.
    QString folder() const;
    // The database's own folder; empty when the tables are only a passing copy.
    QString dataFolder() const { return m_copy ? QString() : m_folder; }

    // After a restore into folder(): what it put there becomes the database's, all of it or,
    // when the server refuses a row, none (the reason thrown as EngineError). Answers the
    // line that tells where the replaced tables are kept: replacedNote for the database's
    // own folder; none for a passing copy, whose replaced files go with it.
    QString takeRestored(const QString& replacedNote);

private:
    struct PassingCopy;

    Database& m_db;
    QString m_folder;
    std::unique_ptr<PassingCopy> m_copy;
};

} // namespace nerova
