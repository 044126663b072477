#include "backup/BackupFrmU.h"

#include "backup/TableFiles.h"
#include "backup/ZipArchiver.h"
#include "controls/Prompt.h"
#include "data/Database.h"
#include "data/EngineError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace nerova {

namespace {

const QString kArchivePrefix = QStringLiteral("NRVA2002DataBackup");
const QString kArchiveSuffix = QStringLiteral(".zip");
const QString kCancelled = QStringLiteral("Backup cancelled");

QString withTrailingSeparator(const QString& folder) {
    QString f = QDir::fromNativeSeparators(folder);
    if (!f.endsWith(QLatin1Char('/')))
        f += QLatin1Char('/');
    return f;
}

QLabel* boldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

TBackupFrm::TBackupFrm(const QString& databaseDirectory, QWidget* parent)
    : QDialog(parent), m_databaseDirectory(withTrailingSeparator(databaseDirectory)) {
    setWindowTitle(QStringLiteral("Backup Data"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    buildLayout();
    resize(447, 368);
    setBackupFolder(m_databaseDirectory);

    connect(m_changeButton, &QPushButton::clicked, this, &TBackupFrm::ChangeButtonClick);
    connect(m_backupButton, &QPushButton::clicked, this, &TBackupFrm::BackupButtonClick);
    connect(m_cancelButton, &QPushButton::clicked, this, &TBackupFrm::CancelButtonClick);
}

void TBackupFrm::buildLayout() {
    auto* nameHeading = boldLabel(QStringLiteral("Backup File Name:"), this);
    QFont headingFont = nameHeading->font();
    headingFont.setPixelSize(16);
    nameHeading->setFont(headingFont);

    m_fileNameField = new QLineEdit(this);
    m_fileNameField->setObjectName(QStringLiteral("FileNameField"));
    m_fileNameField->setMaxLength(200);
    m_fileNameField->setAccessibleDescription(QStringLiteral("Backup file name part"));
    nameHeading->setBuddy(m_fileNameField);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(kArchivePrefix, this));
    nameRow->addWidget(m_fileNameField, 1);
    nameRow->addWidget(new QLabel(kArchiveSuffix, this));

    auto* folderHeading = boldLabel(QStringLiteral("Backup File Folder:"), this);
    m_fileFolderField = new QLineEdit(this);
    m_fileFolderField->setObjectName(QStringLiteral("FileFolderField"));
    m_fileFolderField->setReadOnly(true);
    m_fileFolderField->setAccessibleDescription(QStringLiteral("BackupFolder"));
    folderHeading->setBuddy(m_fileFolderField);
    m_changeButton = new QPushButton(QStringLiteral("Change"), this);
    m_changeButton->setAutoDefault(false);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_fileFolderField, 1);
    folderRow->addWidget(m_changeButton);

    auto* statusHeading = boldLabel(QStringLiteral("Backup Status:"), this);
    m_statusLabel = new QLabel(QStringLiteral("None"), this);
    m_statusLabel->setObjectName(QStringLiteral("BackupStatusLabel2"));

    m_backupButton = new QPushButton(QStringLiteral("Backup"), this);
    m_backupButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setAutoDefault(false);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_backupButton);
    buttonRow->addWidget(m_cancelButton);
    buttonRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(nameHeading);
    layout->addLayout(nameRow);
    layout->addSpacing(12);
    layout->addWidget(folderHeading);
    layout->addLayout(folderRow);
    layout->addSpacing(12);
    layout->addWidget(statusHeading);
    layout->addWidget(m_statusLabel);
    layout->addStretch(1);
    layout->addLayout(buttonRow);
}

int TBackupFrm::ShowBackupWindow() {
    setBackupFolder(m_databaseDirectory);
    return Prompt::instance().runDialog(*this);
}

QString TBackupFrm::archivePath() const {
    return m_backupFolder + kArchivePrefix + m_fileNameField->text() + kArchiveSuffix;
}

void TBackupFrm::setBackupFolder(const QString& folder) {
    m_backupFolder = withTrailingSeparator(folder);
    m_fileFolderField->setText(QDir::toNativeSeparators(m_backupFolder));
}

void TBackupFrm::setStatus(const QString& text) {
    m_statusLabel->setText(text);
    m_statusLabel->repaint(); // the window is busy until archiving ends
}

void TBackupFrm::cancelWith(QWidget* focus) {
    setStatus(kCancelled);
    focus->setFocus();
}

void TBackupFrm::ChangeButtonClick() {
    // The browser gets the archive name as its prompt so the user sees what will be
    // written where.
    const QString chosen = Prompt::instance().browseFolder(
        QStringLiteral("Select Folder or Disk where Backup file is to be created"),
        kArchivePrefix + m_fileNameField->text() + kArchiveSuffix,
        QDir::toNativeSeparators(m_backupFolder));
    if (!chosen.isEmpty())
        setBackupFolder(chosen);
}

void TBackupFrm::CancelButtonClick() {
    reject();
}

bool TBackupFrm::writeTestPasses() const {
    // Probe with a name nobody uses yet, so that a file of the user's is never touched.
    QString probe = m_backupFolder + QStringLiteral("TestFile");
    for (int n = 1; QFileInfo::exists(probe) || QFileInfo(probe).isSymLink(); ++n)
        probe = m_backupFolder + QStringLiteral("TestFile") + QString::number(n);
    QFile file(probe);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    file.close();
    return file.remove();
}

void TBackupFrm::BackupButtonClick() {
    setStatus(QStringLiteral("Checking ..."));

    const QString namePart = m_fileNameField->text();
    for (QChar c : QStringLiteral("\"/\\*?<>|:")) {
        if (namePart.contains(c)) {
            Prompt::error(QStringLiteral("Backup Filename contains an illegal character ") + c);
            cancelWith(m_fileNameField);
            return;
        }
    }

    if (!writeTestPasses()) {
        Prompt::error(QStringLiteral("Error creating Backup File"));
        cancelWith(m_changeButton);
        return;
    }

    const QString path = archivePath();
    if (fileOpensReadWrite(path) &&
        Prompt::instance().message(
            Prompt::Kind::Warning, QStringLiteral("Backup file already exists.  Overwrite?"),
            {Prompt::Button::Yes, Prompt::Button::No}) != Prompt::Button::Yes) {
        cancelWith(m_changeButton);
        return;
    }

    try {
        writeArchive(path);
    } catch (const EngineError& e) {
        Prompt::error(e.text());
        cancelWith(m_changeButton);
        return;
    }
    accept();
}

QStringList TBackupFrm::candidateFiles() const {
    QStringList files;
    QDirIterator it(m_databaseDirectory,
                    QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    // The database directory's own files first, then the subfolders', each in name order,
    // so that when a subfolder repeats a bare name the table's real file is the one kept.
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        const auto depthA = a.count(QLatin1Char('/'));
        const auto depthB = b.count(QLatin1Char('/'));
        return depthA != depthB ? depthA < depthB : a < b;
    });
    return files;
}

QStringList TBackupFrm::filesOfTable(const QStringList& allFiles, const QString& word) const {
    QStringList out;
    for (const QString& file : allFiles) {
        if (isTableFile(QFileInfo(file).fileName(), word))
            out << file;
    }
    return out;
}

void TBackupFrm::writeArchive(const QString& path) {
    const QString shownPath = QDir::toNativeSeparators(path);
    if (QFileInfo(path).isDir() || (QFileInfo::exists(path) && !fileOpensReadWrite(path)))
        throw EngineError(
            QStringLiteral("Cannot create %1: the file is read-only or in use.").arg(shownPath));

    // Written under a passing name beside the archive and renamed over it only when
    // complete, so a failure never costs the user the archive it was meant to replace.
    QString temporary;
    do {
        temporary = m_backupFolder + QLatin1Char('.') + kArchivePrefix +
                    QString::number(QRandomGenerator::global()->generate(), 16) +
                    QStringLiteral(".partial");
    } while (QFileInfo::exists(temporary) || QFileInfo(temporary).isSymLink());

    ZipArchiver archive;
    // Messages about the whole archive name the file the user asked for.
    const auto archiveError = [&] {
        return archive.lastError().replace(QDir::toNativeSeparators(temporary), shownPath);
    };
    if (!archive.create(temporary))
        throw EngineError(archiveError());

    const QStringList allFiles = candidateFiles();
    for (const QString& word : tableFileWords()) {
        setStatus(QStringLiteral("Backing Up %1 data files ...").arg(word));
        for (const QString& file : filesOfTable(allFiles, word)) {
            if (!archive.addFile(file, QFileInfo(file).fileName()))
                Prompt::error(archive.lastError());
        }
    }

    if (archive.entryCount() == 0) {
        archive.discard();
        throw EngineError(QStringLiteral("No data files were found in %1.")
                              .arg(QDir::toNativeSeparators(m_databaseDirectory)));
    }
    if (!archive.close()) {
        QFile::remove(temporary);
        throw EngineError(archiveError());
    }

    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(temporary).toStdString(),
                            QFile::encodeName(path).toStdString(), ec);
    if (ec) {
        QFile::remove(temporary);
        throw EngineError(QStringLiteral("Cannot create %1: %2")
                              .arg(shownPath, QString::fromLocal8Bit(ec.message())));
    }
}

} // namespace nerova
