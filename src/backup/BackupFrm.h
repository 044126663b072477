#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace nerova {

class ArchiveWorker;

// The backup window: archives the file of each of the five tables from the database directory
// into "NRVA2002DataBackup<name part>.zip" in a folder of the user's choice. The caller
// closes the tables before running it and reopens them afterwards.
class TBackupFrm : public QDialog {
    Q_OBJECT

public:
    explicit TBackupFrm(const QString& databaseDirectory, QWidget* parent = nullptr);

    // Starts from the database directory (or the start folder) again and runs the window
    // modally through the prompt seam; answers Accepted when an archive was written.
    int ShowBackupWindow();
    // The folder the window offers first instead of the database directory: for tables
    // copied out of a server into a passing folder, which is no place to keep an archive.
    void setStartFolder(const QString& folder);

    // The button handlers, public so that the window can be driven without a screen.
    void ChangeButtonClick();
    void BackupButtonClick();
    void CancelButtonClick();

    // The destination folder, always ending in a separator.
    QString backupFolder() const { return m_backupFolder; }
    // The archive the current name part and folder lead to.
    QString archivePath() const;

    ArchiveWorker& worker() const { return *m_worker; }

    // What the last backup of this window wrote, as the user is told it ("Backed up 5
    // tables (87.2 MB) to …"); empty when it wrote nothing.
    QString doneText() const { return m_doneText; }

    // The passing name an archive is written under in its folder until it is complete;
    // matched again to clear away what a backup killed part-way left there.
    static bool isTemporaryArchiveName(const QString& fileName);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildLayout();
    void setBackupFolder(const QString& folder);
    void setStatus(const QString& text);
    void cancelWith(QWidget* focus);
    bool writeTestPasses() const;
    // The file of each table in table order; empty for a table without one.
    QStringList tableFiles() const;
    // Answers false when the user cancelled; throws with the reason when it failed. tables
    // and bytes: the table files archived and their size.
    bool writeArchive(const QString& path, int& tables, qint64& bytes);
    void removeLeftoverArchives() const;
    void setBusy(bool busy);

    QString m_databaseDirectory;
    QString m_startFolder;
    QString m_backupFolder;
    QString m_doneText;
    QLineEdit* m_fileNameField = nullptr;
    QLineEdit* m_fileFolderField = nullptr;
    QLabel* m_statusLabel = nullptr;
    QPushButton* m_changeButton = nullptr;
    QPushButton* m_backupButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QProgressBar* m_progress = nullptr;
    ArchiveWorker* m_worker = nullptr;
};

} // namespace nerova
