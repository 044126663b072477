#include "app/SingleCopyLock.h"

#include "data/Database.h"
#include "data/EngineError.h"

#include <QDir>
#include <QFileInfo>

namespace nerova {

SingleCopyLock::SingleCopyLock(const Database& db) {
    DataLocation where;
    try {
        where = db.location();
    } catch (const EngineError&) {
        return; // no alias: nothing to lock, and the window reports the alias
    }
    if (where.server || !QFileInfo(where.directory).isDir())
        return;
    m_lock =
        std::make_unique<QLockFile>(QDir(where.directory).filePath(QStringLiteral("NRVA2002.lck")));
    // The system releases the lock when its holder dies, so a crash never leaves the data
    // locked.
    m_lock->setStaleLockTime(0);
    m_refused = !m_lock->tryLock(0) && m_lock->error() == QLockFile::LockFailedError;
}

} // namespace nerova
