#pragma once

#include "data/Schema.h"
#include "olddata/CodePageText.h"
#include "olddata/ParadoxFile.h"

#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>
#include <vector>

namespace nerova {

// What was found of one table in an old folder.
struct OldTableReport {
    TableId id = TableId::Company;
    QString fileName; // as found, or as expected when it is missing
    bool found = false;
    qint64 records = 0;
    int fields = 0;
    int codePage = 0;      // as the header says; 0 when it says none (read as 1252)
    QStringList leftOut;   // fields of the old table that are not ours
    QStringList leftBlank; // our columns the old table lacks
    QStringList problems;  // each one stops the import
};

// One table of the former program, read into our columns: fields matched to columns by name
// (letter case ignored), values converted to the column's type, text from the table's code
// page. survey() reads every record and lists whatever would keep the import from being
// faithful; readRows() then hands out the rows.
class OldTable {
public:
    // dbPath empty: the table's files are missing. memoPath empty: no memo file.
    OldTable(TableId id, QString dbPath, QString memoPath, QString scratchDir);
    ~OldTable();
    OldTable(const OldTable&) = delete;
    OldTable& operator=(const OldTable&) = delete;

    // Told every few thousand records: records done of the table's records.
    using Progress = std::function<void(qint64 done, qint64 total)>;
    OldTableReport survey(const Progress& progress = {});
    // Every record as a row of our table, in the file's order. Throws EngineError when a
    // record cannot be read or converted (the survey would have said so).
    void readRows(const std::function<void(const QVariantList&)>& row);

    // At most this many problems are listed per table; the rest are counted.
    static constexpr int kProblemsListed = 20;

private:
    // How a column is filled: from which field, and how that field is read.
    struct Source {
        int field = -1; // index in the old table's fields; -1: left blank
    };

    bool openAndMatch(OldTableReport& report);
    // Converts a record into our row; false with the problem's text.
    bool convert(int recno, const QByteArray& record, QVariantList& row, QString& problem);
    bool convertValue(const ColumnDef& column, const ParadoxField& field, const char* record,
                      QVariant& value, QString& why);
    QString where(int recno, const ParadoxField& field) const;
    QString keyText(const QVariantList& row) const;

    TableId m_id;
    QString m_dbPath;
    QString m_memoPath;
    QString m_scratchDir;
    QString m_fileName;
    ParadoxFile m_file;
    std::unique_ptr<CodePageText> m_text;
    std::vector<Source> m_sources;
    bool m_open = false;
};

} // namespace nerova
