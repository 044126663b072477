#include "backup/DatabaseArchive.h"

#include "backup/BackupFrm.h"
#include "controls/HourGlass.h"
#include "data/Database.h"
#include "data/TableFilesHolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>

namespace nerova {

namespace {

// The tables as files; a server's are copied out first, which takes a moment.
void holdTableFiles(std::optional<TableFilesHolder>& files, Database& db) {
    const HourGlass busy;
    files.emplace(db);
}

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

QString backupDatabase(Database& db, QWidget* parent) {
    std::optional<TableFilesHolder> files;
    holdTableFiles(files, db);
    TBackupFrm frm(files->folder(), parent);
    // An archive kept beside the tables is lost with the disk that holds them, and a passing
    // copy is no place to keep one.
    frm.setStartFolder(archiveStartFolder(files->dataFolder()));
    frm.ShowBackupWindow();
    return frm.doneText();
}

void restoreDatabase(Database& db, QWidget* parent,
                     const TRestoreFrm::ForeignArchiveHandler& foreignArchive) {
    std::optional<TableFilesHolder> files;
    holdTableFiles(files, db);
    TRestoreFrm frm(files->folder(), parent);
    frm.setStartFolder(archiveStartFolder(files->dataFolder()));
    if (foreignArchive)
        frm.setForeignArchiveHandler(foreignArchive);
    frm.setFinalStep([&files](const QString& replacedNote) {
        const HourGlass busy;
        return files->takeRestored(replacedNote);
    });
    frm.RunRestore();
}

} // namespace nerova
