#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace nerova {

// What a run of ours leaves behind when it is killed half-way, and its removal at the next
// start. Only names of our own making are ever removed, and never what a copy of the
// program still running uses.

// The folder where passing files and folders outside the database directory (a backup's
// partial archive in the user's folder, the copy of a server's tables) are written down
// while they exist. Set at start-up; unset, nothing is written down.
void setPassingRegister(const QString& folder);

// Writes a passing file or folder down for as long as this object lives, under a lock that
// its run holds: a run killed before it removed the path leaves the note, and the lock, which
// the system releases, tells the next start that nobody uses the path any more.
class PassingPathHolder {
public:
    explicit PassingPathHolder(const QString& path);
    ~PassingPathHolder(); // the path itself is its owner's to remove
    PassingPathHolder(const PassingPathHolder&) = delete;
    PassingPathHolder& operator=(const PassingPathHolder&) = delete;

private:
    QString m_note;
    std::unique_ptr<QLockFile> m_lock;
};

// True for the names of our passing files and folders: a backup's partial archive (with
// libzip's own passing file beside it) and the folder of a server's copied tables.
bool isPassingName(const QString& fileName);

// Removes the passing files and folders written down by runs that are gone.
void removePassingLeftovers();

// Removes what a killed run of ours left in a database directory: a restore cut short is
// finished and its staged files go; a table file half-made by table creation; a
// transaction's super-journal that no table's journal needs any more (each hot journal is
// rolled back first, so no transaction is ever taken as committed); the empty tables of a
// copy that never committed; an empty folder made for replaced tables.
void removeLeftovers(const QString& databaseDirectory);

} // namespace nerova
