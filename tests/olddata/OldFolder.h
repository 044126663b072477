#pragma once

// Folders of the former program's tables, written for the tests with pxlib's own writing
// functions, and the rows they are expected to become.

#include "data/Database.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "support/OldTableWriter.h"

#include <QDate>
#include <QDir>
#include <QList>
#include <QTime>
#include <QVariant>

#include "olddata/PxLib.h"
#include <array>

namespace nerova::test {

using nerova::testing::OldField;
using nerova::testing::OldTableWriter;

using Rows = QList<QVariantList>;

// A row of a table with the given columns set and every other one blank.
inline QVariantList rowOf(TableId id, const QList<QPair<const char*, QVariant>>& values) {
    const TableDef& def = tableDef(id);
    QVariantList row;
    for (std::size_t i = 0; i < def.columns.size(); ++i)
        row << QVariant();
    for (const auto& [name, value] : values)
        row[def.indexOf(QString::fromLatin1(name))] = value;
    return row;
}

// The rows of a small old database, in key order: accented text of code page 1252, memos
// short enough for the record and long enough for several memo blocks, blanks, zeros and
// negative numbers, both logicals, dates at the edge of the range, times.
inline std::array<Rows, kTableCount> sampleRows() {
    const QString longMemo = QStringLiteral("Packing glands drip; señor Ådne noted ").repeated(90);
    const QString co = QStringLiteral("Müller & Söhne");
    std::array<Rows, kTableCount> rows;
    rows[0] << rowOf(TableId::Company, {{"CompanyID", co},
                                        {"Name", QStringLiteral("Café Ève – Façades")},
                                        {"State", "MD"},
                                        {"Notes", longMemo},
                                        {"Private Notes", "ok"}})
            << rowOf(TableId::Company, {{"CompanyID", "ZERO"}});
    rows[1] << rowOf(TableId::Location,
                     {{"CompanyID", co}, {"LocationID", "*"}, {"SameAsCompany", true}})
            << rowOf(TableId::Location, {{"CompanyID", co},
                                         {"LocationID", "Plant 2"},
                                         {"SameAsCompany", false},
                                         {"Notes", "short"}});
    rows[2] << rowOf(TableId::Pump, {{"CompanyID", co},
                                     {"LocationID", "*"},
                                     {"PumpID", "01"},
                                     {"Pump Mfr", "Reddy Bufaloe"},
                                     {"Impeller Diameter", 9.125},
                                     {"Pump Elevation", 0.0},
                                     {"Suction Elevation", -2.5},
                                     {"FC Flow10", 1e-7},
                                     {"Notes", longMemo.left(2100)}});
    rows[3] << rowOf(TableId::Test, {{"CompanyID", co},
                                     {"LocationID", "*"},
                                     {"PumpID", "01"},
                                     {"TestID", "20010731"},
                                     {"Test Date", QDate(2001, 7, 31)},
                                     {"Test Start Time", QTime(12, 0)},
                                     {"Test End Time", QTime(23, 59, 59)},
                                     {"Pressure Gauge Cal Date", QDate(1900, 1, 1)},
                                     {"Tachometer Cal Date", QDate(2100, 12, 31)},
                                     {"Velocity Pressure", false},
                                     {"Flow1", 0.0},
                                     {"Net Pressure1", 56.0}});
    for (const char* point : {"2", "3", "4"})
        rows[4] << rowOf(TableId::Flow, {{"CompanyID", co},
                                         {"LocationID", "*"},
                                         {"PumpID", "01"},
                                         {"TestID", "20010731"},
                                         {"Flow Point Number", point},
                                         {"Flow Meter", 0.0},
                                         {"Nozzle Size1", 1.75},
                                         {"Co-efficient1", 0.975}});
    return rows;
}

// Writes the rows as the old table of id into folder, with the former program's field list
// unless fields are given.
inline void writeOldTable(const QString& folder, TableId id, const Rows& rows,
                          QList<OldField> fields = {}, int codePage = 1252) {
    if (fields.isEmpty())
        fields = OldTableWriter::fieldsOf(static_cast<int>(id));
    // The old program capitalised the table word in its file names.
    const QString name = QStringLiteral("NRVA2002") + QString::fromLatin1(tableDef(id).label);
    OldTableWriter w(QDir(folder).filePath(name + QStringLiteral(".DB")), fields,
                     tableDef(id).keyCount, codePage);
    for (const QVariantList& r : rows)
        w.append(r);
}

inline void writeOldFolder(const QString& folder,
                           const std::array<Rows, kTableCount>& rows = sampleRows()) {
    QDir().mkpath(folder);
    for (const TableId id : kAllTables)
        writeOldTable(folder, id, rows[static_cast<std::size_t>(levelIndex(id))]);
}

// Every row of a table of ours, in key order.
inline Rows rowsOf(Database& db, TableId id) {
    const TableDef& def = tableDef(id);
    db.acquire(id);
    Rows rows;
    {
        const auto st = db.prepared(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                                        .arg(quotedList(def.columnNames()), db.qualifiedName(id),
                                             quotedList(def.keyNames())));
        while (st->step()) {
            QVariantList r;
            for (int i = 0; i < static_cast<int>(def.columns.size()); ++i)
                r << typedValue(*st, i, def.columns[static_cast<std::size_t>(i)].type);
            rows << r;
        }
        st->reset();
    }
    db.release(id);
    return rows;
}

} // namespace nerova::test
