#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

class QLabel;

namespace nerova {

class ZipArchiver;

// The restore window: puts the table files of a backup archive back into the database
// directory. It is a status window, shown (not modal) only while RunRestore works; the
// caller closes the tables before RunRestore and reopens them afterwards.
class TRestoreFrm : public QDialog {
    Q_OBJECT

public:
    explicit TRestoreFrm(const QString& databaseDirectory, QWidget* parent = nullptr);

    // Asks for the archive and the confirmation, then restores. Answers true when the
    // restore ran to its end (every entry may still have been reported on its own).
    bool RunRestore();

    QLabel* StatusLabel2() const { return m_statusLabel; }

    static QString backupFilter();
    static QString allFilesFilter();

private:
    void setStatus(const QString& text);
    // Extracts one entry whole into a staged file beside the tables; answers its path.
    bool stageEntry(ZipArchiver& archive, std::uint64_t index, const QString& bareName,
                    QString& path, QString& error);

    QString m_databaseDirectory;
    QLabel* m_statusLabel = nullptr;
};

} // namespace nerova
