#pragma once

#include <QString>
#include <QStringList>
#include <algorithm>
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

// One part of an index's key: a column as stored, or its text with letter case folded as the
// server compares it for a lookup that ignores case. A table file never holds the fold: its
// collation lives in the program, and the file must stay readable by any sqlite3 tool.
enum class IndexTerm { Column, CaseFolded };
struct IndexPart {
    const char* column;
    IndexTerm term = IndexTerm::Column;
};

// An index the engine keeps on a table beside its key: made with the table, and added to a
// table of an older version by the step to `since`, the schema version that brought it.
struct IndexDef {
    const char* suffix; // "by date": the index is named after its table, "NRVA2002test by date"
    std::span<const IndexPart> parts;
    int since;

    // An index with a folded part lives on the server alone: see IndexTerm.
    bool serverOnly() const {
        return std::any_of(parts.begin(), parts.end(),
                           [](const IndexPart& p) { return p.term == IndexTerm::CaseFolded; });
    }
};

struct TableDef {
    TableId id;
    const char* name;     // "company"
    const char* baseName; // "NRVA2002company": the file is baseName + ".db"
    const char* label;    // "Company": used in progress texts and file patterns
    std::span<const ColumnDef> columns;
    int keyCount; // the key is the first keyCount columns
    std::span<const IndexDef> indexes = {};

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
    // "NRVA2002test by date".
    QString indexName(const IndexDef& index) const {
        return QString::fromLatin1(baseName) + QLatin1Char(' ') + QString::fromLatin1(index.suffix);
    }
};

const TableDef& tableDef(TableId id);

inline constexpr TableId kAllTables[] = {TableId::Company, TableId::Location, TableId::Pump,
                                         TableId::Test, TableId::Flow};

// The levels of the record hierarchy the user walks, one notebook page each, top first; the
// flow rows hang below the test without a page of their own.
inline constexpr TableId kRecordLevels[] = {TableId::Company, TableId::Location, TableId::Pump,
                                            TableId::Test};
inline constexpr int kTableCount = 5;
inline constexpr int kRecordLevelCount = 4;

// A table's place in the hierarchy, 0 for the company … 4 for the flow rows: an index into
// per-level arrays and the main notebook's page number.
constexpr int levelIndex(TableId id) {
    return static_cast<int>(id);
}
constexpr TableId levelAt(int index) {
    return static_cast<TableId>(index);
}
// The table above this one; the company has none and is its own.
constexpr TableId parentOf(TableId id) {
    return id == TableId::Company ? id : levelAt(levelIndex(id) - 1);
}

// Throws EngineError when text does not fit the Alpha column c: more characters than its
// size (counted as characters, so an emoji is one, not two UTF-16 units), or, in a key
// column, a tab, line break or other control character: an identifier holding one shows
// as if it had none, and no lookup or Change ID could ever type it again.
void checkAlphaText(const ColumnDef& c, const QString& text);

// The key column that identifies a row at its own level: "CompanyID" … "Flow Point Number".
QString identifierColumn(TableId id);

// Schema version kept in PRAGMA user_version of every table file (in the table's comment on
// a server); tables of older versions are migrated step by step when they open.
// 1: the tables and their keys. 2: the test table's index by pump and date. 3: on a server,
// the indexes on folded texts the lookups use (a table file takes the number only).
inline constexpr int kSchemaVersion = 3;

// The oldest version whose tables this program can use as they are when bringing them up to
// date fails (a server user who may not add an index to a table he does not own): the
// versions since then differ in indexes only, which make reading faster, never different.
inline constexpr int kOldestUsableVersion = 1;

// Versions a table file may carry and still be taken: 0 is a file from before versions were
// stamped, taken as the first version when its columns are ours; a newer one is refused.
constexpr bool schemaVersionKnown(int version) {
    return version >= 0 && version <= kSchemaVersion;
}
constexpr bool schemaVersionUsable(int version) {
    return schemaVersionKnown(version) && (version == 0 ? 1 : version) >= kOldestUsableVersion;
}

} // namespace nerova
