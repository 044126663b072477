#include "backup/RestoreFrm.h"

#include "backup/ArchiveWorker.h"
#include "backup/TableFiles.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Global.h"
#include "data/TableFileRows.h"
#include "prompt/Prompt.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QStorageInfo>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace nerova {

namespace {

QString refused(const QString& why) {
    return QStringLiteral("Nothing was restored: %1.").arg(why);
}

QString twice(const QString& name) {
    return refused(QStringLiteral("the backup file holds %1 twice").arg(name));
}

// "3 companies", "1 pump", "? tests" for a table that could not be counted.
QString countedRows(qint64 rows, TableId id) {
    static const char* const kWords[][2] = {{"company", "companies"},
                                            {"location", "locations"},
                                            {"pump", "pumps"},
                                            {"test", "tests"},
                                            {"flow point", "flow points"}};
    const auto& word = kWords[static_cast<int>(id)];
    return QStringLiteral("%1 %2").arg(rows < 0 ? QStringLiteral("?") : QString::number(rows),
                                       QLatin1String(rows == 1 ? word[0] : word[1]));
}

} // namespace

TRestoreFrm::TRestoreFrm(const QString& databaseDirectory, QWidget* parent)
    : QDialog(parent), m_databaseDirectory(QDir::cleanPath(databaseDirectory)),
      m_startFolder(m_databaseDirectory), m_worker(new ArchiveWorker(this)) {
    setWindowTitle(QStringLiteral("Restoring Data"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    // The tables are closed while the window is up: nothing else may run meanwhile.
    setWindowModality(Qt::ApplicationModal);

    auto* heading = new QLabel(QStringLiteral("Restore Status:"), this);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    m_statusLabel = new QLabel(QStringLiteral("None"), this);
    m_statusLabel->setObjectName(QStringLiteral("StatusLabel2"));
    m_progress = new QProgressBar(this);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_statusLabel);
    layout->addWidget(m_progress);
    layout->addStretch(1);
    layout->addWidget(m_cancelButton, 0, Qt::AlignHCenter);
    resize(350, 177);
    setBusy(false);

    connect(m_cancelButton, &QPushButton::clicked, m_worker, &ArchiveWorker::cancel);
    connect(m_worker, &ArchiveWorker::progressed, this,
            [this](qint64 done, qint64 total, const QString& word) {
                if (!m_worker->isRunning())
                    return; // a late report must not undo the final status
                setStatus(QStringLiteral("%1 data files ...").arg(word));
                showProgress(*m_progress, done, total);
            });
    m_freeSpace = [](const QString& folder) { return QStorageInfo(folder).bytesAvailable(); };
}

TRestoreFrm::~TRestoreFrm() = default;

QString TRestoreFrm::backupFilter() {
    return QStringLiteral("NRVA 2002 Backups (NRVA2002DataBackup*.zip)");
}

// "*" rather than "*.*": on this platform "*.*" would hide a file without an extension.
QString TRestoreFrm::allFilesFilter() {
    return QStringLiteral("All Files (*)");
}

void TRestoreFrm::setStatus(const QString& text) {
    m_statusLabel->setText(text);
}

void TRestoreFrm::setBusy(bool busy) {
    m_progress->setVisible(busy);
    m_cancelButton->setVisible(busy);
    if (busy)
        showProgress(*m_progress, 0, 0);
}

void TRestoreFrm::closeEvent(QCloseEvent* event) {
    // The close box while extracting means Cancel: the window goes when the work has ended.
    if (m_worker->isRunning()) {
        m_worker->cancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TRestoreFrm::reject() {
    if (m_worker->isRunning())
        m_worker->cancel();
    else
        QDialog::reject();
}

bool TRestoreFrm::RunRestore() {
    const QString chosen = Prompt::instance().openFile(
        QStringLiteral("Select Backup File to Restore"),
        QDir::toNativeSeparators(m_startFolder + QLatin1Char('/')),
        {backupFilter(), allFilesFilter()}, backupFilter(), QStringLiteral("zip"));
    if (chosen.isEmpty())
        return false;

    show();
    setStatus(QStringLiteral("Checking ..."));

    if (!fileOpensReadWrite(chosen)) {
        Prompt::error(QStringLiteral("Error finding Backup File"));
        return false;
    }

    // The archive's directory is read in full before any table file is touched, so a file
    // that is no archive, or a damaged one, changes nothing.
    ZipArchiver archive;
    if (!archive.openForReading(chosen)) {
        if (!archive.duplicateName().isEmpty()) {
            Prompt::error(twice(archive.duplicateName()));
            return false;
        }
        Prompt::error(QStringLiteral("The backup file cannot be read, nothing was restored.\n") +
                      archive.lastError());
        return false;
    }
    const QList<ZipArchiver::Entry> entries = archive.entries();
    if (entries.size() > kMaxArchiveEntries) {
        Prompt::error(refused(QStringLiteral("the backup file holds %1 entries, where a backup "
                                             "holds one file per table")
                                  .arg(entries.size())));
        return false;
    }
    QList<PlannedEntry> plan;
    QStringList leftOut;
    QString refusal = planEntries(entries, plan, leftOut);
    if (refusal.isEmpty()) {
        refusal = notOurArchive(archive, plan);
        // An archive of the former program's tables is not refused out of hand: the window
        // that knows how to import them may take it instead.
        if (!refusal.isEmpty() && m_foreignArchive) {
            archive.discard();
            hide();
            if (!m_foreignArchive(chosen))
                Prompt::error(refusal);
            return false;
        }
    }
    if (!refusal.isEmpty()) {
        Prompt::error(refusal);
        return false;
    }

    // Every table file is extracted whole and checked before the question and before any is
    // replaced; one that is damaged or not a sound table of ours stops the whole restore, so
    // the tables never come from two different moments.
    QList<StagedFile> staged;
    setBusy(true);
    QString problem =
        m_worker->run([&](ArchiveWorker&) { return stageAll(archive, plan, staged); });
    archive.discard(); // opened read-only: nothing to write
    setBusy(false);
    if (!problem.isEmpty() || m_worker->cancelled()) {
        finishInterruptedRestore(m_databaseDirectory); // clears the staged files
        if (m_worker->cancelled())
            setStatus(QStringLiteral("Restore cancelled"));
        else
            Prompt::error(problem);
        hide();
        return false;
    }

    // What is in the archive, against what it replaces, and only then the typed YES: the
    // user sees whether it is the backup meant before the tables are gone.
    const std::optional<QString> answer = Prompt::instance().inputText(
        QStringLiteral("Confirm Restore"),
        comparison(chosen, plan, staged) +
            QStringLiteral("\n\nType YES to confirm overwriting existing data files"),
        QString());
    if (!answer || *answer != QStringLiteral("YES")) {
        finishInterruptedRestore(m_databaseDirectory); // clears the staged files
        hide();
        return false;
    }

    // Placing is written down first, so a restore cut short is finished at the next start.
    QString asideFolder;
    QStringList placeErrors;
    setBusy(true);
    problem =
        m_worker->run([&](ArchiveWorker&) { return placeAll(staged, asideFolder, placeErrors); });
    setBusy(false);
    if (!problem.isEmpty()) {
        finishInterruptedRestore(m_databaseDirectory); // clears the staged files
        Prompt::error(QStringLiteral("Nothing was restored.\n") + problem);
        hide();
        return false;
    }
    for (const QString& e : std::as_const(placeErrors))
        Prompt::error(e);

    QString replacedNote;
    if (!asideFolder.isEmpty())
        replacedNote = QStringLiteral("The table files it replaced are kept unchanged in\n%1")
                           .arg(QDir::toNativeSeparators(asideFolder));
    if (m_finalStep) {
        try {
            replacedNote = m_finalStep(replacedNote);
        } catch (const EngineError& e) {
            Prompt::error(e.text());
            hide();
            return false;
        }
    }
    const QString notes = closingNotes(leftOut, replacedNote);
    if (placeErrors.isEmpty())
        Prompt::information(QStringLiteral("All files were restored successfully.") + notes);
    else
        Prompt::warning(QStringLiteral("The restore finished, but %1 file(s) could not be "
                                       "restored; their previous files were kept.")
                            .arg(placeErrors.size()) +
                        notes);
    hide();
    return true;
}

QString TRestoreFrm::comparison(const QString& archivePath, const QList<PlannedEntry>& plan,
                                const QList<StagedFile>& staged) const {
    // The four levels a user counts in; the flow rows only when the archive holds no other.
    QList<qsizetype> shown;
    for (qsizetype i = 0; i < plan.size(); ++i)
        if (plan[i].table != TableId::Flow)
            shown << i;
    if (shown.isEmpty() && !plan.isEmpty())
        shown << 0;
    QStringList held;
    QStringList now;
    QDateTime newest;
    for (const PlannedEntry& p : plan)
        if (p.modified.isValid() && (!newest.isValid() || p.modified > newest))
            newest = p.modified;
    for (const qsizetype i : std::as_const(shown)) {
        const TableId id = plan[i].table;
        const QString current = findFileNoCase(m_databaseDirectory, tableDef(id).fileName());
        held << countedRows(tableFileRowCount(staged.value(i).first, id), id);
        now << countedRows(current.isEmpty() ? 0 : tableFileRowCount(current, id), id);
    }
    // The tables' own time: a copied archive may carry the time of the copy.
    if (!newest.isValid())
        newest = QFileInfo(archivePath).lastModified();
    return QStringLiteral("The archive %1 of %2 holds %3. Your data now holds %4; it will be "
                          "replaced.")
        .arg(QFileInfo(archivePath).fileName(), newest.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
             held.join(QStringLiteral(", ")), now.join(QStringLiteral(", ")));
}

QString TRestoreFrm::closingNotes(const QStringList& leftOut, const QString& replacedNote) const {
    QString notes;
    if (!leftOut.isEmpty()) {
        // A long list would push the box off the screen; the first names tell the story.
        constexpr qsizetype kShown = 10;
        QStringList shown = leftOut.first(std::min(kShown, leftOut.size()));
        if (leftOut.size() > kShown)
            shown << QStringLiteral("and %1 more").arg(leftOut.size() - kShown);
        notes += QStringLiteral("\n\nLeft out, as they are no table files:\n") +
                 shown.join(QLatin1Char('\n'));
    }
    if (!replacedNote.isEmpty())
        notes += QStringLiteral("\n\n") + replacedNote;
    return notes;
}

QString TRestoreFrm::planEntries(const QList<ZipArchiver::Entry>& entries,
                                 QList<PlannedEntry>& plan, QStringList& leftOut) const {
    // A folder whose free space cannot be learned is not refused on that account.
    const qint64 free = m_freeSpace(m_databaseDirectory);
    const qint64 room = free < 0 ? std::numeric_limits<qint64>::max() : free - kFreeSpaceMargin;
    qint64 needed = 0;
    QSet<QString> seen; // the table files the entries become, letter case ignored
    for (TableId id : kAllTables) {
        const QString word = QString::fromLatin1(tableDef(id).label);
        for (const ZipArchiver::Entry& entry : entries) {
            // Only the last name component counts: an entry never reaches outside the
            // database directory, whatever folders its name claims.
            const QString bare = bareFileName(entry.name);
            if (!isTableFile(bare, word))
                continue;
            // Only the table file itself: a journal beside it would be replayed over the
            // restored table, and the engine keeps nothing else of a table.
            if (bare.compare(tableDef(id).fileName(), Qt::CaseInsensitive) != 0) {
                leftOut << entry.name;
                continue;
            }
            const QString key = bare.toLower();
            if (seen.contains(key))
                return twice(entry.name);
            seen.insert(key);
            if (ZipArchiver::isSpecialFile(entry))
                return refused(
                    S_ISLNK((entry.attributes >> 16) & S_IFMT)
                        ? QStringLiteral("%1 is a symbolic link, not a file").arg(entry.name)
                        : QStringLiteral("%1 is not a plain file").arg(entry.name));
            // The staged files sit beside the current ones until all are in place.
            needed += static_cast<qint64>(
                std::min<std::uint64_t>(entry.size, std::numeric_limits<qint64>::max() / 4));
            if (needed > room)
                return refused(QStringLiteral("%1 is larger than the free space left in %2")
                                   .arg(entry.name, QDir::toNativeSeparators(m_databaseDirectory)));
            PlannedEntry p;
            p.index = entry.index;
            p.name = entry.name;
            p.bareName = bare;
            p.word = word;
            p.size = entry.size;
            p.table = id;
            p.modified = entry.modified;
            plan << p;
        }
    }
    return {};
}

QString TRestoreFrm::notOurArchive(ZipArchiver& archive, const QList<PlannedEntry>& plan) const {
    if (plan.isEmpty())
        return refused(QStringLiteral("the backup file holds no table file of this program"));
    // Every table file of ours begins so; reading the first bytes costs nothing.
    const QByteArray magic("SQLite format 3\0", 16);
    for (const PlannedEntry& p : plan) {
        QByteArray head;
        if (!archive.peek(p.index, magic.size(), head))
            return refused(archive.lastError());
        if (head != magic)
            return refused(QStringLiteral("%1 is not a table file of this program").arg(p.name));
    }
    return {};
}

QString TRestoreFrm::stageAll(ZipArchiver& archive, const QList<PlannedEntry>& plan,
                              QList<StagedFile>& staged) {
    qint64 total = 0;
    for (const PlannedEntry& p : plan)
        total += static_cast<qint64>(p.size);
    qint64 done = 0;
    for (const PlannedEntry& p : plan) {
        m_worker->report(done, total, p.word);
        QString path;
        QString error;
        if (!stageEntry(archive, p, done, total, path, error))
            return m_worker->cancelled() ? QString() : refused(error);
        staged << StagedFile{path, p.bareName};
        const QString problem = tableFileProblem(path, p.table);
        if (!problem.isEmpty())
            return refused(QStringLiteral("%1 is not a %2 table of this program (%3)")
                               .arg(p.name, p.word, problem));
    }
    m_worker->report(total, total, plan.isEmpty() ? QString() : plan.last().word);
    return {};
}

QString TRestoreFrm::placeAll(const QList<StagedFile>& staged, QString& asideFolder,
                              QStringList& placeErrors) {
    // The tables replaced go aside as table creation moves them, so a restore can be
    // undone by copying them back.
    return placeRestoredTables(m_databaseDirectory, now(), staged, asideFolder, placeErrors)
        .error();
}

bool TRestoreFrm::stageEntry(ZipArchiver& archive, const PlannedEntry& entry, qint64& done,
                             qint64 total, QString& path, QString& error) {
    // Created like any new file of the folder (0666 less the umask, the current time), and
    // never through a link that someone placed under the staged name.
    QByteArray local;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        path = m_databaseDirectory + QLatin1Char('/') + QString::fromLatin1(kRestoreStagePrefix) +
               QString::number(QRandomGenerator::global()->generate64(), 36);
        local = QFile::encodeName(path);
        fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        error =
            QStringLiteral("%1: %2").arg(entry.name, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    QFile out;
    out.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
    const bool extracted = archive.extract(entry.index, out, [&](qint64 n) {
        done += n;
        m_worker->report(done, total, entry.word);
        return !m_worker->cancelled();
    });
    if (extracted)
        ::fsync(fd);
    out.close();
    if (!extracted) {
        // "NRVA2002Flow.db: CRC error" from the archiver, told as what it means here.
        QString why = archive.lastError();
        if (why.startsWith(entry.name + QStringLiteral(": ")))
            why = why.mid(entry.name.size() + 2);
        error = QStringLiteral("%1 cannot be taken from the backup file (%2)").arg(entry.name, why);
        QFile::remove(path); // the table file was never touched
        return false;
    }
    return true;
}

} // namespace nerova
