#pragma once

#include "data/DatabaseCopy.h"
#include "olddata/OldTable.h"

#include <QList>
#include <QTemporaryDir>

#include <array>
#include <memory>

namespace nerova {

class Database;

// What a folder of old tables holds, table by table.
struct OldDataSurvey {
    QString folder;
    QList<OldTableReport> tables; // company … flow

    // True when nothing stops the import (the fields left out or blank are only listed).
    bool importable() const;
    qint64 records(TableId id) const;
    // Every problem, table by table.
    QStringList problems() const;
    // The fields left out and the columns left blank, one line each, for the user to accept.
    QStringList fieldNotes() const;
};

// The old tables of one folder (the former program's database directory, or an archive
// unpacked by OldArchive), read as rows of our five tables. Their files are only read.
class OldData : public RowSource {
public:
    explicit OldData(const QString& folder);
    ~OldData() override;

    // Told before each table and every few thousand records.
    using Progress = std::function<void(TableId id, qint64 done, qint64 total)>;
    // Opens every table and reads every record, listing what would stop the import.
    const OldDataSurvey& survey(const Progress& progress = {});
    const OldDataSurvey& lastSurvey() const { return m_survey; }

    // After a survey without problems: the rows of a table, as writeRows asks for them.
    void readRows(TableId id, const std::function<void(const QVariantList&)>& row) override;

    // Imports the surveyed tables into `to`: one transaction of the target, checked table by
    // table against what was read before it is committed. Throws EngineError, nothing of
    // the target changed, when the survey found problems or anything fails.
    QList<TableTally> importInto(Database& to, CopyMode mode, const CopyProgress& progress = {});

private:
    QString m_folder;
    QTemporaryDir m_scratch; // pxlib's private copies of the memo files
    std::array<std::unique_ptr<OldTable>, kTableCount> m_tables;
    OldDataSurvey m_survey;
};

// "212 companies, 388 locations, 640 pumps, 5,870 tests and 23,104 flow rows".
QString rowCountsText(const QList<qint64>& counts);
// The question asked before anything is written: the rows to import, where to, and what the
// target's tables hold now.
QString importQuestion(const OldDataSurvey& survey, const QString& target,
                       const QList<qint64>& targetRows);

} // namespace nerova
