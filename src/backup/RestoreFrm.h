#pragma once

#include "backup/ZipArchiver.h"
#include "data/RestorePlan.h"

#include <QDateTime>
#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace nerova {

class ArchiveWorker;

// The restore window: puts the table files of a backup archive back into the database
// directory. It is a status window, shown only while RunRestore works, and modal then so
// that no other command runs while the tables are closed; the caller closes the tables
// before RunRestore and reopens them afterwards.
class TRestoreFrm : public QDialog {
    Q_OBJECT

public:
    explicit TRestoreFrm(const QString& databaseDirectory, QWidget* parent = nullptr);
    ~TRestoreFrm() override;

    // Asks for the archive and the confirmation, then restores. Answers true when the
    // restore ran to its end (every entry may still have been reported on its own).
    bool RunRestore();

    ArchiveWorker& worker() const { return *m_worker; }

    // The folder the open dialog starts in instead of the database directory.
    void setStartFolder(const QString& folder) { m_startFolder = folder; }
    // A last step, run once the files are in place and before the closing message: tables
    // restored into a passing folder go on to where the data really is. It is handed the
    // line that tells where the replaced files are kept and answers the line to show (empty
    // for none), as a passing folder's own "Replaced" folder goes with it. When it throws
    // EngineError its text is shown instead of the closing message and RunRestore answers
    // false.
    using FinalStep = std::function<QString(const QString& replacedNote)>;
    void setFinalStep(FinalStep step) { m_finalStep = std::move(step); }

    // Handed the archive when its tables turn out not to be ours, before the refusal is
    // shown (the former program's archives hold tables of another kind). Answering true
    // means it dealt with the archive itself, so the restore ends without its refusal.
    using ForeignArchiveHandler = std::function<bool(const QString& archivePath)>;
    void setForeignArchiveHandler(ForeignArchiveHandler handler) {
        m_foreignArchive = std::move(handler);
    }

    // Free bytes in a folder; the system's figure unless a test sets another.
    using FreeSpaceProbe = std::function<qint64(const QString& folder)>;
    void setFreeSpaceProbe(FreeSpaceProbe probe) { m_freeSpace = std::move(probe); }
    // Room the tables need beyond the restored files themselves, to keep working.
    static constexpr qint64 kFreeSpaceMargin = 16 * 1024 * 1024;
    // A backup holds one file per table; an archive with far more entries than any backup
    // of ours or of the old program is refused before its entries are looked at one by one.
    static constexpr qsizetype kMaxArchiveEntries = 300;

    static QString backupFilter();
    static QString allFilesFilter();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // An archive entry that is to become a table file of the database directory.
    struct PlannedEntry {
        std::uint64_t index = 0;
        QString name; // as archived
        QString bareName;
        QString word; // its table: "Company" …
        std::uint64_t size = 0;
        TableId table = TableId::Company;
        QDateTime modified;
    };

    void setStatus(const QString& text);
    void setBusy(bool busy);
    // Picks the table files to restore in table order, and lists the other entries of the
    // tables' families (a journal, an old index) that are left out; answers why the archive
    // is refused.
    QString planEntries(const QList<ZipArchiver::Entry>& entries, QList<PlannedEntry>& plan,
                        QStringList& leftOut) const;
    // Decides whether the archive holds tables of this program at all, before anything is
    // extracted: answers why not (no table file, or table files of another kind, such as
    // the old program's), empty when it does. The one place that tells an archive of ours
    // from a foreign one.
    QString notOurArchive(ZipArchiver& archive, const QList<PlannedEntry>& plan) const;
    // On the worker: extracts every planned entry into a staged file and checks each table;
    // answers why nothing may be restored.
    QString stageAll(ZipArchiver& archive, const QList<PlannedEntry>& plan,
                     QList<StagedFile>& staged);
    // On the worker: moves the replaced tables aside and puts the staged files in place.
    QString placeAll(const QList<StagedFile>& staged, QString& asideFolder,
                     QStringList& placeErrors);
    QString closingNotes(const QStringList& leftOut, const QString& replacedNote) const;
    // What the archive's tables hold against what the data holds now, as the confirmation
    // shows it; staged holds the extracted file of each entry of plan, in order.
    QString comparison(const QString& archivePath, const QList<PlannedEntry>& plan,
                       const QList<StagedFile>& staged) const;
    // Extracts one entry whole into a new staged file beside the tables; answers its path.
    bool stageEntry(ZipArchiver& archive, const PlannedEntry& entry, qint64& done, qint64 total,
                    QString& path, QString& error);

    QString m_databaseDirectory;
    QString m_startFolder;
    FinalStep m_finalStep;
    QLabel* m_statusLabel = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancelButton = nullptr;
    ArchiveWorker* m_worker = nullptr;
    FreeSpaceProbe m_freeSpace;
    ForeignArchiveHandler m_foreignArchive;
};

} // namespace nerova
