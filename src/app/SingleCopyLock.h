#pragma once

#include <QLockFile>
#include <memory>

namespace nerova {

class Database;

// One program per file database: a second copy would work on rows the first is changing.
// A server database is shared by design (its rows carry their version, and every write
// checks it), so several programs may work on it at once and no lock is taken there.
class SingleCopyLock {
public:
    // Takes the lock in the database's folder when it has one that exists.
    explicit SingleCopyLock(const Database& db);

    // True when another running copy of the program holds the data.
    bool refused() const { return m_refused; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_refused = false;
};

} // namespace nerova
