#pragma once

#include <QString>
#include <QStringList>
#include <span>

namespace nerova {

enum class ColumnType { Alpha, Number, Logical, Date, Time, Memo };

struct ColumnDef {
    const char* name;
    ColumnType type;
    int size; // characters for Alpha, stored head for Memo, 0 otherwise
    bool required;
};

enum class TableId { Company = 0, Location = 1, Pump = 2, Test = 3, Flow = 4 };

struct TableDef {
    TableId id;
    const char* name;     // "company"
    const char* baseName; // "NRVA2002company": the file is baseName + ".db"
    const char* label;    // "Company": used in progress texts and file patterns
    std::span<const ColumnDef> columns;
    int keyCount; // the key is the first keyCount columns

    QString fileName() const { return QString::fromLatin1(baseName) + QStringLiteral(".db"); }
    // The capitalised spelling used when files are looked up ("NRVA2002Company.db").
    QString capitalisedFileName() const {
        return QStringLiteral("NRVA2002") + QString::fromLatin1(label) + QStringLiteral(".db");
    }
    std::span<const ColumnDef> keyColumns() const { return columns.first(keyCount); }
    QStringList keyNames() const;
    QStringList columnNames() const; // every column, in stored order
    // Index of a column by name, ignoring letter case; -1 when there is none.
    int indexOf(const QString& column) const;
    const ColumnDef* find(const QString& column) const;
};

const TableDef& tableDef(TableId id);

inline constexpr TableId kAllTables[] = {TableId::Company, TableId::Location, TableId::Pump,
                                         TableId::Test, TableId::Flow};

// The key column that identifies a row at its own level: "CompanyID" … "Flow Point Number".
QString identifierColumn(TableId id);

// Schema version kept in PRAGMA user_version of every table file; files of older versions
// are migrated step by step when a table opens.
inline constexpr int kSchemaVersion = 1;

// Versions a table file may carry and still be taken: 0 is a file from before versions were
// stamped, taken as the first version when its columns are ours; a newer one is refused.
constexpr bool schemaVersionKnown(int version) {
    return version >= 0 && version <= kSchemaVersion;
}

} // namespace nerova
