#include "backup/RestoreFrmU.h"

#include "backup/TableFiles.h"
#include "backup/ZipArchiver.h"
#include "controls/Prompt.h"
#include "data/Database.h"
#include "data/RestorePlan.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryFile>
#include <QVBoxLayout>

#include <unistd.h>

namespace nerova {

namespace {} // namespace

TRestoreFrm::TRestoreFrm(const QString& databaseDirectory, QWidget* parent)
    : QDialog(parent), m_databaseDirectory(QDir::cleanPath(databaseDirectory)) {
    setWindowTitle(QStringLiteral("Restoring Data"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);

    auto* heading = new QLabel(QStringLiteral("Restore Status:"), this);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    m_statusLabel = new QLabel(QStringLiteral("None"), this);
    m_statusLabel->setObjectName(QStringLiteral("StatusLabel2"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_statusLabel);
    layout->addStretch(1);
    resize(350, 177);
}

QString TRestoreFrm::backupFilter() {
    return QStringLiteral("NRVA 2002 Backups (NRVA2002DataBackup*.zip)");
}

// "*" rather than "*.*": on this platform "*.*" would hide a file without an extension.
QString TRestoreFrm::allFilesFilter() {
    return QStringLiteral("All Files (*)");
}

void TRestoreFrm::setStatus(const QString& text) {
    m_statusLabel->setText(text);
    m_statusLabel->repaint(); // the window is busy until extraction ends
}

bool TRestoreFrm::RunRestore() {
    const QString chosen = Prompt::instance().openFile(
        QStringLiteral("Select Backup File to Restore"),
        QDir::toNativeSeparators(m_databaseDirectory + QLatin1Char('/')),
        {backupFilter(), allFilesFilter()}, backupFilter(), QStringLiteral("zip"));
    if (chosen.isEmpty())
        return false;

    show();
    setStatus(QStringLiteral("Checking ..."));

    if (!fileOpensReadWrite(chosen)) {
        Prompt::error(QStringLiteral("Error finding Backup File"));
        return false;
    }

    const std::optional<QString> answer = Prompt::instance().inputText(
        QStringLiteral("Confirm Restore"),
        QStringLiteral("Type YES to confirm overwriting existing data files"), QString());
    if (!answer || *answer != QStringLiteral("YES"))
        return false;

    // The archive's directory is read in full before any table file is touched, so a file
    // that is no archive, or a damaged one, changes nothing.
    ZipArchiver archive;
    if (!archive.openForReading(chosen)) {
        Prompt::error(QStringLiteral("The backup file cannot be read, nothing was restored.\n") +
                      archive.lastError());
        return false;
    }
    const QList<ZipArchiver::Entry> entries = archive.entries();

    // Every entry is extracted whole and checked before any table file is replaced, and
    // the renames that follow are written down first, so a restore cut short is finished
    // at the next start instead of leaving tables from two different moments.
    int failures = 0;
    QList<StagedFile> staged;
    for (const QString& word : tableFileWords()) {
        setStatus(QStringLiteral("%1 data files ...").arg(word));
        for (const ZipArchiver::Entry& entry : entries) {
            // Only the last name component counts: an entry never reaches outside the
            // database directory, whatever folders its name claims.
            const QString bare = bareFileName(entry.name);
            if (!isTableFile(bare, word))
                continue;
            QString path;
            QString error;
            if (!stageEntry(archive, entry.index, bare, path, error)) {
                Prompt::error(error);
                ++failures;
                continue;
            }
            staged << StagedFile{path, bare};
        }
    }
    QString error;
    if (!staged.isEmpty() && !writeRestorePlan(m_databaseDirectory, staged, error)) {
        Prompt::error(QStringLiteral("Nothing was restored.\n") + error);
        failures += static_cast<int>(staged.size());
        staged.clear();
    }
    for (const StagedFile& s : std::as_const(staged)) {
        if (!placeRestoredFile(m_databaseDirectory, s.first, s.second, error)) {
            Prompt::error(error);
            ++failures;
        }
    }
    removeRestorePlan(m_databaseDirectory);
    finishInterruptedRestore(m_databaseDirectory); // clears staged files left by a failure
    archive.discard();                             // opened read-only: nothing to write

    if (failures == 0)
        Prompt::information(QStringLiteral("All files were restored successfully."));
    else
        Prompt::warning(QStringLiteral("The restore finished, but %1 file(s) could not be "
                                       "restored; their previous files were kept.")
                            .arg(failures));
    hide();
    return true;
}

bool TRestoreFrm::stageEntry(ZipArchiver& archive, std::uint64_t index, const QString& bareName,
                             QString& path, QString& error) {
    QTemporaryFile temporary(m_databaseDirectory + QLatin1Char('/') +
                             QString::fromLatin1(kRestoreStagePrefix) + QStringLiteral("XXXXXX"));
    if (!temporary.open()) {
        error = QStringLiteral("%1: %2").arg(bareName, temporary.errorString());
        return false;
    }
    if (!archive.extract(index, temporary)) {
        error = archive.lastError();
        return false; // the temporary file goes, the table file was never touched
    }
    ::fsync(temporary.handle());
    temporary.close();
    temporary.setAutoRemove(false);
    path = temporary.fileName();
    return true;
}

} // namespace nerova
