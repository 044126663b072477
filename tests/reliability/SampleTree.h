#pragma once

#include "data/Schema.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <array>

namespace nerova {
class Database;
class TablesProgress;
} // namespace nerova

namespace nerova::test {

// A database of a known shape for the reliability tests: every company holds the same tree
// (locations, pumps, tests, flow rows), so a half-done cascade or identifier change shows
// as a company or location whose tree is not whole.
//
// A snapshot keeps, per table, every row's key ("C01|L1|P1|T1|1") and the test rows' Notes,
// which the crash worker edits; the other tables keep an empty text.
struct TreeSnapshot {
    std::array<QMap<QString, QString>, 5> rows;

    bool operator==(const TreeSnapshot&) const = default;
    int rowCount() const;
    QStringList companies() const;
    QStringList locations() const; // "C|L" keys
    QStringList tests() const;     // "C|L|P|T" keys
};

inline constexpr int kSampleCompanies = 8;
inline constexpr int kSampleChildren =
    2;                                 // locations per company, pumps per location, tests per pump
inline constexpr int kSampleFlows = 3; // flow rows per test
// Joins the key columns of a row; a character nobody types, since random typing and Change ID
// can put any printable one into an identifier.
inline constexpr QChar kKeySeparator = QChar(0x1F);

// 8 companies, 16 locations, 32 pumps, 64 tests, 192 flow rows.
TreeSnapshot sampleSnapshot();

// Replaces the five tables of db with the sample rows (tables must be closed).
void fillSampleTree(Database& db);

// Reads every row of the five tables through their cursors.
TreeSnapshot readSnapshot(Database& db);

// Every column of every row of the five tables, read through their cursors, one line per
// row; what "nothing changed" is measured with.
QStringList dumpAllRows(Database& db);

// "company: <message>" for every table file whose PRAGMA integrity_check is not "ok".
// The tables must be open (attached).
QStringList integrityProblems(Database& db);

// Rows without their owner, and owners whose tree is not whole (a cascade or identifier
// change that stopped half-way).
QStringList shapeProblems(const TreeSnapshot& s);

// One operation the crash worker logs: "POST <test key> <text>", "DELC <company>",
// "CHLOC <company> <location> <new location>", "RESTORE".
TreeSnapshot applyOperation(const TreeSnapshot& s, const QString& op);

// Copies every file of one folder into another (replacing), for pristine resets.
void copyFolderFiles(const QString& from, const QString& to);

// Every file below root (relative paths), to tell what a command wrote.
QStringList fileTree(const QString& root);

} // namespace nerova::test
