#include "backup/RestoreFrmU.h"

#include "backup/TableFiles.h"
#include "backup/ZipArchiver.h"
#include "controls/Prompt.h"
#include "data/Database.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryFile>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace nerova {

namespace {

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// rename(2) replaces the target in one step, whatever the target's own permissions, so
// a read-only table file is replaced as well and never left half-written.
bool replaceFile(const QString& from, const QString& to, QString& error) {
    std::error_code ec;
    std::filesystem::rename(fsPath(from), fsPath(to), ec);
    if (ec) {
        error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(to),
                                             QString::fromLocal8Bit(ec.message()));
        return false;
    }
    return true;
}

} // namespace

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

    int failures = 0;
    for (const QString& word : tableFileWords()) {
        setStatus(QStringLiteral("%1 data files ...").arg(word));
        for (const ZipArchiver::Entry& entry : entries) {
            // Only the last name component counts: an entry never reaches outside the
            // database directory, whatever folders its name claims.
            const QString bare = bareFileName(entry.name);
            if (!isTableFile(bare, word))
                continue;
            QString error;
            if (!restoreEntry(archive, entry.index, bare, error)) {
                Prompt::error(error);
                ++failures;
            }
        }
    }
    archive.discard(); // opened read-only: nothing to write

    if (failures == 0)
        Prompt::information(QStringLiteral("All files were restored successfully."));
    else
        Prompt::warning(QStringLiteral("The restore finished, but %1 file(s) could not be "
                                       "restored; their previous files were kept.")
                            .arg(failures));
    hide();
    return true;
}

bool TRestoreFrm::restoreEntry(ZipArchiver& archive, std::uint64_t index, const QString& bareName,
                               QString& error) {
    QTemporaryFile temporary(m_databaseDirectory + QStringLiteral("/.NRVA2002restore-XXXXXX"));
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

    const QString target = m_databaseDirectory + QLatin1Char('/') + bareName;
    // One file per table: a table file whose name differs only in letter case is the
    // one being replaced. Renaming over it first and then to the archived name keeps
    // exactly one file of the table in the folder at every moment.
    const QString existing = QFileInfo(findFileNoCase(m_databaseDirectory, bareName)).fileName();
    if (!existing.isEmpty() && existing != bareName) {
        const QString old = m_databaseDirectory + QLatin1Char('/') + existing;
        if (!replaceFile(temporary.fileName(), old, error))
            return false;
        temporary.setAutoRemove(false);
        if (!replaceFile(old, target, error))
            return false;
    } else {
        if (!replaceFile(temporary.fileName(), target, error))
            return false;
        temporary.setAutoRemove(false);
    }
    // Any further spelling of the same name would be a second file for the table.
    for (const QString& other :
         QDir(m_databaseDirectory).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (other != bareName && other.compare(bareName, Qt::CaseInsensitive) == 0)
            QFile::remove(m_databaseDirectory + QLatin1Char('/') + other);
    }
    return true;
}

} // namespace nerova
