#pragma once

#include "olddata/OldData.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace nerova {

class ArchiveWorker;
class Database;
class OldArchive;

// File | Import Old Data…: the user picks a folder of the former program's tables or one of
// its backup archives; the window lists what it found (each table's file, records, fields,
// code page and problems, and the fields it leaves out or blank) and imports only after the
// user has seen that list and answered the question that says what will be replaced. The
// caller closes the tables before and reopens them afterwards.
class ImportOldDataDialog : public QDialog {
    Q_OBJECT

public:
    ImportOldDataDialog(Database& db, QWidget* parent = nullptr);
    ~ImportOldDataDialog() override;

    // Reads the old tables of a folder or an archive and shows what was found. Answers
    // whether they can be imported.
    bool setSource(const QString& path);
    // Asks, imports and closes the window when done. Answers whether the data was imported.
    bool importNow();

    const OldDataSurvey& survey() const;
    QTableWidget* tablesView() const { return m_tables; }
    ArchiveWorker& worker() const { return *m_worker; }

    static QString archiveFilter();

protected:
    void reject() override;

private:
    void chooseFolder();
    void chooseArchive();
    void showSurvey();
    void setBusy(bool busy);

    Database& m_db;
    std::unique_ptr<OldArchive> m_archive;
    std::unique_ptr<OldData> m_data;
    QLineEdit* m_source = nullptr;
    QTableWidget* m_tables = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_folderButton = nullptr;
    QPushButton* m_archiveButton = nullptr;
    QPushButton* m_importButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    ArchiveWorker* m_worker = nullptr;
};

} // namespace nerova
