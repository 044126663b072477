#include "data/TableFilesHolder.h"

#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Leftovers.h"

#include <QDir>

namespace nerova {

// A passing folder holding a server's five tables as table files; removed with everything in
// it when it goes.
struct TableFilesHolder::PassingCopy {
    explicit PassingCopy(Database& server) {
        if (dir.isValid())
            passing = std::make_unique<PassingPathHolder>(dir.path());
        if (!dir.isValid())
            throw EngineError(QStringLiteral("No folder can be made for the copy of the tables: %1")
                                  .arg(dir.errorString()));
        files = std::make_unique<Database>(DataLocation{false, dir.path(), {}});
        tally = copyDatabase(server, *files, CopyMode::Replace);
    }

    // Gone last: the folder is written down until it is removed, so that a run killed with
    // it in place leaves it to the next start.
    std::unique_ptr<PassingPathHolder> passing;
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/nerova2002-tables-XXXXXX")};
    std::unique_ptr<Database> files;
    // What the copy checked the files to hold.
    QList<TableTally> tally;
};

TableFilesHolder::TableFilesHolder(Database& db) : m_db(db) {
    const DataLocation where = db.location();
    if (!where.server) {
        m_folder = where.directory;
        return;
    }
    m_copy = std::make_unique<PassingCopy>(db);
    m_folder = m_copy->dir.path();
}

TableFilesHolder::~TableFilesHolder() = default;

QString TableFilesHolder::folder() const {
    return m_folder;
}

QString TableFilesHolder::takeRestored(const QString& replacedNote) {
    if (!m_copy)
        return replacedNote;
    try {
        // A restore that put nothing new back leaves the server alone.
        if (tallyDatabase(*m_copy->files) != m_copy->tally)
            copyDatabase(*m_copy->files, m_db, CopyMode::Replace);
        return {};
    } catch (const EngineError& e) {
        // The copy is one transaction of the server: it still holds every row it had.
        throw EngineError(QStringLiteral("Nothing was restored; %1 keeps its data.\n%2")
                              .arg(m_db.displayName(), e.text()),
                          e.code());
    }
}

} // namespace nerova
