#pragma once

#include "data/Result.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>

namespace nerova {

// A backup archive of the former program (a ZIP of its table files) unpacked into a private
// temporary folder, removed again with this object. Only the table families' entries are
// taken, under the same rules as a restore: a link or other special file refuses the
// archive, an entry never reaches outside the folder whatever folders its name claims, a
// name may come only once, and the whole must fit in the free space.
class OldArchive {
public:
    OldArchive();

    // Free bytes in a folder; the system's figure unless a test sets another.
    using FreeSpaceProbe = std::function<qint64(const QString& folder)>;
    void setFreeSpaceProbe(FreeSpaceProbe probe) { m_freeSpace = std::move(probe); }

    // Unpacks the archive; a failure says why, and nothing of it is kept.
    Result unpack(const QString& archivePath);
    // The folder holding the unpacked table files.
    QString folder() const { return m_dir.path(); }

    // True when the archive's company table is a table of the former program (what the
    // restore of our own tables refuses as not ours).
    static bool holdsOldTables(const QString& archivePath);

private:
    QTemporaryDir m_dir;
    FreeSpaceProbe m_freeSpace;
};

} // namespace nerova
