#include "app/ServerArchive.h"

#include "app/HourGlass.h"
#include "app/OldBackupOffer.h"

#include "backup/BackupFrm.h"
#include "backup/RestoreFrm.h"
#include "data/Database.h"
#include "data/DatabaseCopy.h"
#include "data/EngineError.h"
#include "data/Leftovers.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace nerova {

namespace {

// A passing folder holding the server's five tables as table files; removed with
// everything in it when it goes.
class TableFilesCopy {
public:
    explicit TableFilesCopy(Database& server) {
        if (m_dir.isValid())
            m_passing = std::make_unique<PassingPathHolder>(m_dir.path());
        if (!m_dir.isValid())
            throw EngineError(QStringLiteral("No folder can be made for the copy of the tables: %1")
                                  .arg(m_dir.errorString()));
        m_files = std::make_unique<Database>(DataLocation{false, m_dir.path(), {}});
        const HourGlass busy;
        // What the copy checked the files to hold.
        m_tally = copyDatabase(server, *m_files, CopyMode::Replace);
    }

    QString folder() const { return m_dir.path(); }
    Database& files() { return *m_files; }
    // True when the files no longer hold what was copied out of the server.
    bool changed() { return tallyDatabase(*m_files) != m_tally; }

private:
    // Gone last: the folder is written down until it is removed, so that a run killed with
    // it in place leaves it to the next start.
    std::unique_ptr<PassingPathHolder> m_passing;
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/nerova2002-tables-XXXXXX")};
    std::unique_ptr<Database> m_files;
    QList<TableTally> m_tally;
};

} // namespace

QString archiveStartFolder(const QString& dataFolder) {
    const auto same = [](const QString& a, const QString& b) {
        return !a.isEmpty() && !b.isEmpty() &&
               QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
    };
    const QString config = QFileInfo(Database::defaultRegistryPath()).absolutePath();
    const QStringList candidates{
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), QDir::homePath(),
        dataFolder.isEmpty() ? QString() : QFileInfo(QDir::cleanPath(dataFolder)).absolutePath()};
    for (const QString& folder : candidates)
        if (!folder.isEmpty() && QFileInfo(folder).isDir() && !same(folder, dataFolder) &&
            !same(folder, config))
            return folder;
    return QDir::homePath();
}

QString backupServerDatabase(Database& server, const QString& startFolder, QWidget* parent) {
    TableFilesCopy copy(server);
    TBackupFrm frm(copy.folder(), parent);
    frm.setStartFolder(startFolder);
    frm.ShowBackupWindow();
    return frm.doneText();
}

void restoreServerDatabase(Database& server, const QString& startFolder, QWidget* parent) {
    TableFilesCopy copy(server);
    TRestoreFrm frm(copy.folder(), parent);
    frm.setStartFolder(startFolder);
    offerOldDataImport(frm, server, parent);
    frm.setFinalStep([&] {
        const HourGlass busy;
        try {
            // A restore that put nothing new back leaves the server alone.
            if (copy.changed())
                copyDatabase(copy.files(), server, CopyMode::Replace);
            return QString();
        } catch (const EngineError& e) {
            // The copy is one transaction of the server: it still holds every row it had.
            throw EngineError(QStringLiteral("Nothing was restored; %1 keeps its data.\n%2")
                                  .arg(server.displayName(), e.text()),
                              e.code());
        }
    });
    frm.RunRestore();
}

} // namespace nerova
