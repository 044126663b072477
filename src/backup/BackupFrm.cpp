#include "backup/BackupFrm.h"

#include "backup/ArchiveWorker.h"
#include "backup/TableFiles.h"
#include "backup/ZipArchiver.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Leftovers.h"
#include "prompt/Prompt.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace nerova {

namespace {

const QString kArchivePrefix = QStringLiteral("NRVA2002DataBackup");
const QString kArchiveSuffix = QStringLiteral(".zip");
const QString kCancelled = QStringLiteral("Backup cancelled");
const QString kTemporarySuffix = QStringLiteral(".partial");

QString backingUp(const QString& word) {
    return QStringLiteral("Backing Up %1 data files ...").arg(word);
}

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
    : QDialog(parent), m_databaseDirectory(withTrailingSeparator(databaseDirectory)),
      m_startFolder(m_databaseDirectory), m_worker(new ArchiveWorker(this)) {
    setWindowTitle(QStringLiteral("Backup Data"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    buildLayout();
    resize(447, 368);
    setBackupFolder(m_databaseDirectory);

    connect(m_changeButton, &QPushButton::clicked, this, &TBackupFrm::ChangeButtonClick);
    connect(m_backupButton, &QPushButton::clicked, this, &TBackupFrm::BackupButtonClick);
    connect(m_cancelButton, &QPushButton::clicked, this, &TBackupFrm::CancelButtonClick);
    setBusy(false);
    connect(m_worker, &ArchiveWorker::progressed, this,
            [this](qint64 done, qint64 total, const QString& word) {
                if (!m_worker->isRunning())
                    return; // a late report must not undo the final status
                setStatus(backingUp(word));
                showProgress(*m_progress, done, total);
            });
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
    m_progress = new QProgressBar(this);

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
    layout->addWidget(m_progress);
    layout->addStretch(1);
    layout->addLayout(buttonRow);
}

int TBackupFrm::ShowBackupWindow() {
    m_doneText.clear();
    setBackupFolder(m_startFolder);
    return Prompt::instance().runDialog(*this);
}

void TBackupFrm::setStartFolder(const QString& folder) {
    m_startFolder = withTrailingSeparator(folder);
    setBackupFolder(m_startFolder);
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
}

void TBackupFrm::setBusy(bool busy) {
    m_progress->setVisible(busy);
    if (busy)
        showProgress(*m_progress, 0, 0);
    // Only Cancel works while the archive is written.
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_fileNameField, m_changeButton, m_backupButton})
        w->setEnabled(!busy);
}

void TBackupFrm::closeEvent(QCloseEvent* event) {
    // The close box while archiving means Cancel; the window stays for another attempt.
    if (m_worker->isRunning()) {
        m_worker->cancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TBackupFrm::reject() {
    if (m_worker->isRunning())
        m_worker->cancel();
    else
        QDialog::reject();
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

bool TBackupFrm::isTemporaryArchiveName(const QString& fileName) {
    // libzip writes the archive through a file of its own, "<name>.XXXXXX", then renames.
    static const QRegularExpression pattern(
        QStringLiteral("^\\.%1[0-9a-f]{1,8}\\%2(\\.[A-Za-z0-9]{6})?$")
            .arg(kArchivePrefix, kTemporarySuffix));
    return pattern.match(fileName).hasMatch();
}

void TBackupFrm::removeLeftoverArchives() const {
    const QDir folder(m_backupFolder);
    for (const QString& name :
         folder.entryList({QLatin1Char('.') + kArchivePrefix + QLatin1Char('*')},
                          QDir::Files | QDir::Hidden | QDir::System)) {
        if (isTemporaryArchiveName(name))
            QFile::remove(folder.filePath(name));
    }
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
    m_doneText.clear();
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

    int tables = 0;
    qint64 bytes = 0;
    try {
        if (!writeArchive(path, tables, bytes)) {
            cancelWith(m_changeButton);
            return;
        }
    } catch (const EngineError& e) {
        Prompt::error(e.text());
        cancelWith(m_changeButton);
        return;
    }
    // Said in so many words by the caller, so that a backup never ends without the user
    // knowing where it went.
    m_doneText =
        QStringLiteral("Backed up %1 (%2) to %3.")
            .arg(tables == 1 ? QStringLiteral("1 table") : QStringLiteral("%1 tables").arg(tables),
                 QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat),
                 QDir::toNativeSeparators(path));
    accept();
}

QStringList TBackupFrm::tableFiles() const {
    // The table files at the top of the folder and nothing else: a journal beside a table
    // (or one in a subfolder holding a crashed copy) would be replayed over the table it is
    // restored beside, and files moved aside by table creation are history, not tables.
    // Each table's file is the one the engine opens.
    QStringList files;
    for (TableId id : kAllTables) {
        const QString file = findFileNoCase(m_databaseDirectory, tableDef(id).fileName());
        files << file; // one that cannot be read is reported when it is added
    }
    return files;
}

bool TBackupFrm::writeArchive(const QString& path, int& tables, qint64& bytes) {
    const QString shownPath = QDir::toNativeSeparators(path);
    if (QFileInfo(path).isDir() || (QFileInfo::exists(path) && !fileOpensReadWrite(path)))
        throw EngineError(
            QStringLiteral("Cannot create %1: the file is read-only or in use.").arg(shownPath));

    // Written under a passing name beside the archive and renamed over it only when
    // complete, so a failure never costs the user the archive it was meant to replace.
    // What a backup killed part-way left under such a name is of no use to anyone.
    removeLeftoverArchives();
    QString temporary;
    do {
        temporary = m_backupFolder + QLatin1Char('.') + kArchivePrefix +
                    QString::number(QRandomGenerator::global()->generate(), 16) + kTemporarySuffix;
    } while (QFileInfo::exists(temporary) || QFileInfo(temporary).isSymLink());

    // Written down while it exists: a backup killed part-way leaves it to the next start.
    const PassingPathHolder passing(temporary);
    ZipArchiver archive;
    // Messages about the whole archive name the file the user asked for.
    const auto archiveError = [&] {
        return archive.lastError().replace(QDir::toNativeSeparators(temporary), shownPath);
    };
    if (!archive.create(temporary))
        throw EngineError(archiveError());

    // Files are taken in here, the unreadable ones reported; their data is read and
    // compressed when the archive is closed, on the worker.
    struct Added {
        qint64 size;
        QString word;
    };
    QList<Added> added;
    qint64 total = 0;
    const QStringList files = tableFiles();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString word = tableFileWords().at(i);
        setStatus(backingUp(word));
        const QString& file = files[i];
        if (file.isEmpty())
            continue;
        if (!archive.addFile(file, QFileInfo(file).fileName())) {
            Prompt::error(archive.lastError());
            continue;
        }
        added << Added{QFileInfo(file).size(), word};
        total += added.last().size;
    }

    if (archive.entryCount() == 0) {
        archive.discard();
        throw EngineError(QStringLiteral("No data files were found in %1.")
                              .arg(QDir::toNativeSeparators(m_databaseDirectory)));
    }
    // libzip gives each entry an equal share of its fraction; turned back into bytes of
    // the files, so the bar moves with the data and the status names the table.
    const auto progress = [&](double fraction) {
        const double position = std::clamp(fraction, 0.0, 1.0) * static_cast<double>(added.size());
        const auto at = std::min(static_cast<qsizetype>(position), added.size() - 1);
        qint64 done = 0;
        for (qsizetype i = 0; i < at; ++i)
            done += added[i].size;
        done += static_cast<qint64>((position - static_cast<double>(at)) *
                                    static_cast<double>(added[at].size));
        m_worker->report(done, total, added[at].word);
    };
    setBusy(true);
    const QString closeError = m_worker->run([&](ArchiveWorker& worker) {
        const ZipArchiver::CloseObserver observer{progress,
                                                  [&worker] { return worker.cancelled(); }};
        return archive.close(observer) ? QString() : archiveError();
    });
    setBusy(false);
    if (m_worker->cancelled() || !closeError.isEmpty()) {
        QFile::remove(temporary); // libzip has removed its own; this one may never have been
        if (m_worker->cancelled())
            return false; // the user's choice: nothing to report
        throw EngineError(closeError);
    }

    tables = static_cast<int>(added.size());
    bytes = total;
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(temporary).toStdString(),
                            QFile::encodeName(path).toStdString(), ec);
    if (ec) {
        QFile::remove(temporary);
        throw EngineError(QStringLiteral("Cannot create %1: %2")
                              .arg(shownPath, QString::fromLocal8Bit(ec.message())));
    }
    return true;
}

} // namespace nerova
