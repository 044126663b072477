#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Global.h"
#include "data/Identifiers.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "data/Table.h"
#include "data/TableChain.h"
#include "data/TableFilesAside.h"
#include "data/TablesExistCreate.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSignalSpy>
#include <QtTest>

using namespace nerova;
using nerova::test::TempDatabase;

namespace {

// The five tables opened as the program's master-detail chain.
struct Chain {
    Table company, location, pump, test, flow;
    explicit Chain(Database& db)
        : company(db, TableId::Company), location(db, TableId::Location), pump(db, TableId::Pump),
          test(db, TableId::Test), flow(db, TableId::Flow) {
        location.setMaster(&company, {"CompanyID"});
        pump.setMaster(&location, {"CompanyID", "LocationID"});
        test.setMaster(&pump, {"CompanyID", "LocationID", "PumpID"});
        flow.setMaster(&test, {"CompanyID", "LocationID", "PumpID", "TestID"});
    }
    void open() {
        company.open();
        location.open();
        pump.open();
        test.open();
        flow.open();
    }
};

void addCompany(Table& t, const QString& id, const QString& name = {}) {
    t.insert();
    t.setValue("CompanyID", id);
    if (!name.isEmpty())
        t.setValue("Name", name);
    t.post();
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct LastLabel : TablesProgress {
    QString text;
    void setCaption(const QString&) override {}
    void setLabel(const QString& t) override { text = t; }
    void showWindow() override {}
    void hideWindow() override {}
    void setBusy(bool) override {}
};

// The test table's version and how many indexes by date it has: "3 1" when it is up to date.
QString dateIndexState(Database& db) {
    db.acquire(TableId::Test);
    QString state;
    {
        const auto version = db.prepared(
            db.isServer()
                ? QStringLiteral("SELECT obj_description('\"NRVA2002test\"'::regclass, 'pg_class')")
                : QStringLiteral("PRAGMA test.user_version"));
        const auto index = db.prepared(
            db.isServer() ? QStringLiteral("SELECT count(*) FROM pg_indexes WHERE tablename = "
                                           "'NRVA2002test' AND indexname = 'NRVA2002test by date'")
                          : QStringLiteral("SELECT count(*) FROM test.sqlite_master WHERE name = "
                                           "'NRVA2002test by date'"));
        if (version->step() && index->step())
            state =
                version->text(0).section(QLatin1Char(' '), -1) + QLatin1Char(' ') + index->text(0);
        version->reset();
        index->reset();
    }
    db.release(TableId::Test);
    return state;
}

// Takes the test table back to the first version, before it had its index.
void makeVersionOne(Database& db) {
    db.acquire(TableId::Test);
    if (db.isServer()) {
        db.exec(QStringLiteral("DROP INDEX \"NRVA2002test by date\"; COMMENT ON TABLE "
                               "\"NRVA2002test\" IS 'Nerova 2002 table, version 1'"));
    } else {
        db.exec(QStringLiteral("DROP INDEX test.\"NRVA2002test by date\""));
        db.exec(QStringLiteral("PRAGMA test.user_version = 1"));
    }
    db.release(TableId::Test);
}

} // namespace

class TableTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void schemaHasEveryColumn() {
        QCOMPARE(tableDef(TableId::Company).columns.size(), 17u);
        QCOMPARE(tableDef(TableId::Location).columns.size(), 19u);
        QCOMPARE(tableDef(TableId::Pump).columns.size(), 116u);
        QCOMPARE(tableDef(TableId::Test).columns.size(), 185u);
        QCOMPARE(tableDef(TableId::Flow).columns.size(), 38u);
        QCOMPARE(tableDef(TableId::Flow).find("pumpid")->size, 40);
        QCOMPARE(tableDef(TableId::Test).indexOf("Percent Rated Flow8"), 130);
        QCOMPARE(tableDef(TableId::Test).indexOf("retransfer time"), 183);
    }

    void demoRowsReadBack() {
        TempDatabase tmp;
        Chain c(tmp.db());
        c.open();
        QCOMPARE(c.company.recordCount(), 1);
        QCOMPARE(c.company.asString("Contact Phone"), QString("410-555-1234"));
        QVERIFY(c.company.isNull("Address2"));
        QCOMPARE(c.location.asString("LocationID"), QString("*"));
        QCOMPARE(c.location.asBool("SameAsCompany"), true);
        QCOMPARE(c.pump.asFloat("Impeller Diameter"), 9.125);
        QCOMPARE(c.pump.asFloat("FC Pressure7"), 39.5);
        QCOMPARE(c.pump.asFloat("FC Flow10"), 0.0);
        QCOMPARE(c.pump.asString("Pump Auto Test On"), QString("7:00 am"));
        QVERIFY(c.pump.asString("Notes").contains("location.  Water"));
        QCOMPARE(c.test.asDate("Test Date"), QDate(2001, 7, 31));
        QCOMPARE(c.test.asTime("Test End Time"), QTime(12, 30));
        QCOMPARE(c.test.asFloat("Corrected Flow4"), 1117.0);
        QCOMPARE(c.test.asString("Time5"), QString());
        QCOMPARE(c.test.asFloat("Amp4-2"), 65.0);
        QCOMPARE(c.test.asDate("Tachometer Cal Date"), QDate(2001, 8, 6));
        QVERIFY(c.test.isNull("Tester3 License"));
        QCOMPARE(c.flow.recordCount(), 3);
        QCOMPARE(c.flow.asString("Flow Point Number"), QString("2"));
        c.flow.last();
        QCOMPARE(c.flow.asFloat("Calculated Flow2"), 563.0);
        QCOMPARE(c.flow.asFloat("Nozzle Size3"), 0.0);
    }

    void keysAreUniqueAndRequired() {
        TempDatabase tmp;
        Table t(tmp.db(), TableId::Company);
        t.open();
        t.insert();
        t.setValue("CompanyID", "ABC Paint Company");
        try {
            t.post();
            QFAIL("duplicate key accepted");
        } catch (const EngineError& e) {
            QCOMPARE(e.code(), EngineError::Code::KeyViolation);
            QVERIFY(e.text().startsWith("Key violation."));
        }
        // The row stays in insert with what was typed.
        QCOMPARE(t.state(), TableState::Insert);
        QCOMPARE(t.asString("CompanyID"), QString("ABC Paint Company"));
        t.setValue("CompanyID", "   ");
        QVERIFY_THROWS_EXCEPTION(EngineError, t.post());
        QCOMPARE(t.state(), TableState::Insert);
        t.cancel();
        QCOMPARE(t.recordCount(), 1);
        QVERIFY_THROWS_EXCEPTION(EngineError, (t.edit(), t.setValue("State", "TOO")));
        t.cancel();

        // The same PumpID under another location is fine; twice under one is not. (Every
        // row here has its owners: a server refuses a row under none.)
        const auto add = [&tmp](TableId id, const QVariantList& key) {
            Table rows(tmp.db(), id);
            rows.open();
            rows.insert();
            const QStringList columns = rows.def().keyNames();
            for (qsizetype i = 0; i < key.size(); ++i)
                rows.setValue(columns[i], key[i]);
            rows.post();
            return rows.recordCount();
        };
        add(TableId::Location, {"ABC Paint Company", "Other"});
        QCOMPARE(add(TableId::Pump, {"ABC Paint Company", "Other", "01"}), 2);
        // A flow row takes a pump identifier of full pump width.
        const QString wide(40, 'P');
        add(TableId::Pump, {"ABC Paint Company", "Other", wide});
        add(TableId::Test, {"ABC Paint Company", "Other", wide, "T"});
        add(TableId::Flow, {"ABC Paint Company", "Other", wide, "T", "1"});
        Table f(tmp.db(), TableId::Flow);
        f.open();
        QVERIFY(f.locate({"PumpID"}, {wide}));
    }

    // An identifier counts characters, not UTF-16 units, and holds no control character:
    // one would look like a blank and could never be typed again.
    void identifierTextIsChecked_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("refusal");
        const QString fire = QString::fromUcs4(U"\U0001F525");
        QTest::newRow("40 emoji") << fire.repeated(40) << QString();
        QTest::newRow("41 emoji") << fire.repeated(41) << "Field value too long.";
        QTest::newRow("tab") << "Plant\t2"
                             << "Field value not allowed.";
        QTest::newRow("line feed") << "Plant\n2"
                                   << "Field value not allowed.";
    }
    void identifierTextIsChecked() {
        QFETCH(QString, id);
        QFETCH(QString, refusal);
        TempDatabase tmp;
        TableChain c(tmp.db());
        c.open(TableId::Flow);
        const auto outcome = [](const std::function<void()>& step) {
            try {
                step();
                return QString();
            } catch (const EngineError& e) {
                return e.text().section('\n', 0, 0);
            }
        };
        QCOMPARE(outcome([&] {
                     c.location.insert();
                     c.location.setValue("LocationID", id);
                     c.location.post();
                 }),
                 refusal);
        if (c.location.isEditing())
            c.location.cancel();
        c.location.first();
        QCOMPARE(outcome([&] {
                     changeIdentifier(tmp.db(), TableId::Company, {"ABC Paint Company"}, id);
                 }),
                 refusal);
    }

    void detailsReportBeforeMasterAndFollowMoves() {
        TempDatabase tmp;
        Chain c(tmp.db());
        c.open();
        addCompany(c.company, "AAA");
        addCompany(c.company, "ZZZ");
        QStringList order;
        for (Table* t : {&c.company, &c.location, &c.pump, &c.test, &c.flow})
            connect(t, &Table::afterScroll, this,
                    [&order, t] { order << QString::fromLatin1(t->def().name); });
        c.company.first();
        QCOMPARE(c.company.asString("CompanyID"), QString("AAA"));
        QCOMPARE(order, (QStringList{"flow", "test", "pump", "location", "company"}));
        QCOMPARE(c.location.recordCount(), 0);
        order.clear();
        c.company.next();
        QCOMPARE(c.company.asString("CompanyID"), QString("ABC Paint Company"));
        QCOMPARE(order.last(), QString("company"));
        QCOMPARE(c.flow.recordCount(), 3);
        QCOMPARE(c.company.recNo(), 2);
        QCOMPARE(c.company.recordCount(), 3);
        c.company.last();
        order.clear();
        c.company.next(); // on the last row: no move, no notification
        QVERIFY(c.company.eof());
        QVERIFY(order.isEmpty());
        // An inserted detail row takes its master's link values.
        c.company.first();
        c.location.insert();
        QCOMPARE(c.location.asString("CompanyID"), QString("AAA"));
    }

    void openingEmptyTableReportsNothing() {
        TempDatabase tmp(false);
        tmp.db().createTable(TableId::Company);
        Table t(tmp.db(), TableId::Company);
        QSignalSpy spy(&t, &Table::afterScroll);
        t.open();
        QCOMPARE(spy.count(), 0);
        QCOMPARE(t.recNo(), 0);
        QCOMPARE(t.recordCount(), 0);
    }

    void prefixFilterIsLiteralAndIgnoresCase() {
        TempDatabase tmp;
        Table t(tmp.db(), TableId::Company);
        t.open();
        addCompany(t, "O'Brien Sprinkler", "O'Brien");
        addCompany(t, "Star*Fire", "Star*Fire");
        addCompany(t, "Stark", "Stark");
        addCompany(t, "100% Safe", "100% Safe");
        t.setPrefixFilter("Name", "o'b");
        QCOMPARE(t.recordCount(), 1);
        t.setPrefixFilter("Name", "Star*");
        QCOMPARE(t.recordCount(), 1);
        QCOMPARE(t.asString("CompanyID"), QString("Star*Fire"));
        t.setPrefixFilter("Name", "%");
        QCOMPARE(t.recordCount(), 0);
        t.setPrefixFilter("Name", "STAR");
        QCOMPARE(t.recordCount(), 2);
        t.clearFilter();
        QCOMPARE(t.recordCount(), 5);
        QVERIFY(t.locate({"CompanyID"}, {"stark"}, Qt::CaseInsensitive));
        QCOMPARE(t.asString("CompanyID"), QString("Stark"));
        QVERIFY(!t.locate({"CompanyID"}, {"stark"}, Qt::CaseSensitive));
    }

    // Letter case folds beyond A to Z, alike in the lookup, the locate and the uniqueness test.
    void caseIsIgnoredBeyondAsciiLetters_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("prefixMatches");
        QTest::addColumn<bool>("equal");
        QTest::newRow("umlaut") << "Ärger GmbH"
                                << "ärger gmbh" << true << true;
        QTest::newRow("umlaut prefix") << "Ärger GmbH"
                                       << "ä" << true << false;
        QTest::newRow("y diaeresis") << "ÿ Works"
                                     << "Ÿ WORKS" << true << true;
        QTest::newRow("accent differs") << "Ärger GmbH"
                                        << "arger" << false << false;
        QTest::newRow("sharp s stays") << "Straße"
                                       << "STRASSE" << false << false;
        QTest::newRow("beyond 16 bits") << "𝔄bc Corp"
                                        << "𝔄B" << true << false;
        // A sigma cut at the end of the typed text lowers to its final form.
        QTest::newRow("sigma cut") << "ΟΔΟΣΑ Fire"
                                   << "οδος" << true << false;
    }
    void caseIsIgnoredBeyondAsciiLetters() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, prefixMatches);
        QFETCH(bool, equal);
        TempDatabase tmp;
        Table t(tmp.db(), TableId::Company);
        t.open();
        addCompany(t, stored, stored);
        t.setPrefixFilter("Name", typed);
        QCOMPARE(t.recordCount(), prefixMatches ? 1 : 0);
        t.clearFilter();
        QCOMPARE(t.locate({"CompanyID"}, {typed}, Qt::CaseInsensitive), equal);
        QCOMPARE(identifierInUse(tmp.db(), TableId::Company, {"ABC Paint Company"}, typed), equal);
    }

    void aliasChangeTakesEffectAtNextOpening() {
        // Open tables stay where they were opened, whatever the alias file says meanwhile:
        // a backup must not archive one folder while the records come from another.
        TempDatabase tmp;
        if (tmp.isServer())
            return; // a server's connection is kept for good
        const QString mine = tmp.db().databaseDirectory();
        const QString other = tmp.path("other");
        QVERIFY(QDir().mkpath(other));
        Table t(tmp.db(), TableId::Company);
        t.open();
        QSaveFile registry(tmp.registryPath());
        QVERIFY(registry.open(QIODevice::WriteOnly));
        registry.write("[NRVA2002]\nPATH=" + QFile::encodeName(other) + "\n");
        QVERIFY(registry.commit());
        QCOMPARE(tmp.db().databaseDirectory(), mine);
        t.close();
        QCOMPARE(tmp.db().databaseDirectory(), other);
    }

    void creationMovesReplacedFilesAside() {
        TempDatabase tmp;
        if (tmp.isServer())
            return creationRenamesReplacedServerTables(tmp);
        {
            Table t(tmp.db(), TableId::Company);
            t.open();
            addCompany(t, "Years of records");
        }
        const QDir data(tmp.dataDir());
        const QByteArray company = bytesOf(data.filePath("NRVA2002company.db"));
        QFile::rename(data.filePath("NRVA2002flow.db"), data.filePath("NRVA2002FLOW.DB"));
        QFile extra(data.filePath("NRVA2002Pump.bak"));
        QVERIFY(extra.open(QIODevice::WriteOnly) && extra.write("old") == 3);
        extra.close();
        setNowForTesting([] { return QDateTime(QDate(2026, 12, 9), QTime(10, 15)); });
        LastLabel progress;
        const auto create = [&] { return TablesCreate(tmp.db(), progress, [](auto&) {}); };
        QVERIFY(create());
        QVERIFY(create()); // the same second again: a folder of its own
        setNowForTesting({});

        const QDir aside(data.filePath("Replaced 2026-12-09 10-15-00"));
        QCOMPARE(bytesOf(aside.filePath("NRVA2002company.db")), company);
        QCOMPARE(bytesOf(aside.filePath("NRVA2002Pump.bak")), QByteArray("old"));
        QVERIFY(aside.exists("NRVA2002FLOW.DB"));
        QCOMPARE(
            QDir(data.filePath("Replaced 2026-12-09 10-15-00 (2)")).entryList(QDir::Files).size(),
            5);
        QVERIFY(isReplacedTablesFolder("Replaced 2026-12-09 10-15-00 (2)"));
        QVERIFY(progress.text.startsWith("Test Tables Filled Successfully\n"));
        QVERIFY(progress.text.contains(QDir::toNativeSeparators(aside.path() + " (2)")));
        // The moved files are nobody's table any more: the check and the cursor see the new ones.
        QCOMPARE(data.entryList(QDir::Files).size(), 6); // five tables and the commit file
        QVERIFY(TablesExist(tmp.db(), progress));
        Table t(tmp.db(), TableId::Company);
        t.open();
        QCOMPARE(t.recordCount(), 1);
    }

    // A server keeps what creation replaces under a name that tells when, rows and all.
    void creationRenamesReplacedServerTables(TempDatabase& tmp) {
        setNowForTesting([] { return QDateTime(QDate(2026, 12, 9), QTime(10, 15)); });
        LastLabel progress;
        QVERIFY(TablesCreate(tmp.db(), progress, [](auto&) {}));
        QVERIFY(TablesCreate(tmp.db(), progress, [](auto&) {}));
        setNowForTesting({});
        QVERIFY(progress.text.contains("replaced 2026-12-09 10-15-00"));
        // Index names are the schema's: the replaced table takes its index along under a name
        // of its own, and the new table gets one.
        const auto indexes = tmp.db().prepared(
            "SELECT string_agg(tablename || ': ' || indexname, ' | ' ORDER BY indexname) FROM "
            "pg_indexes WHERE indexname LIKE '% by date'");
        QVERIFY(indexes->step());
        QCOMPARE(indexes->text(0),
                 QString("NRVA2002test: NRVA2002test by date | NRVA2002test replaced 2026-12-09 "
                         "10-15-00 (2): NRVA2002test replaced 2026-12-09 10-15-00 (2) by date | "
                         "NRVA2002test replaced 2026-12-09 10-15-00: NRVA2002test replaced "
                         "2026-12-09 10-15-00 by date"));
        indexes->reset();
        tmp.db().acquire(TableId::Flow);
        for (const char* name : {"NRVA2002flow replaced 2026-12-09 10-15-00",
                                 "NRVA2002flow replaced 2026-12-09 10-15-00 (2)"}) {
            auto st = tmp.db().prepared(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(name));
            QVERIFY(st->step());
            QCOMPARE(st->int64(0), 3);
        }
        // The server's own types, widths from the schema.
        auto types = tmp.db().prepared(
            "SELECT string_agg(column_name || ':' || data_type || ':' || "
            "coalesce(character_maximum_length, 0), ' ' ORDER BY column_name) FROM "
            "information_schema.columns WHERE table_name = 'NRVA2002test' AND column_name IN "
            "('TestID', 'Test Date', 'Test Start Time', 'Velocity Pressure', 'Notes', "
            "'Discharge Pressure1')");
        QVERIFY(types->step());
        QCOMPARE(types->text(0), QString("Discharge Pressure1:double precision:0 Notes:text:0 "
                                         "Test Date:date:0 Test Start Time:time without time "
                                         "zone:0 TestID:character varying:20 Velocity "
                                         "Pressure:boolean:0"));
        types->reset();
        tmp.db().release(TableId::Flow);
    }

    void deleteMovesToNextAndTransactionsRollBack() {
        TempDatabase tmp;
        Chain c(tmp.db());
        c.open();
        QCOMPARE(c.flow.recordCount(), 3);
        {
            Database::Transaction tx(tmp.db());
            c.flow.remove();
            QCOMPARE(c.flow.asString("Flow Point Number"), QString("3"));
            c.flow.remove();
            // no commit: everything comes back
        }
        c.flow.refresh();
        QCOMPARE(c.flow.recordCount(), 3);
        c.flow.remove();
        QCOMPARE(c.flow.recordCount(), 2);
    }

    void readOnlyOrMissingFileRefusedOnOpen() {
        TempDatabase tmp;
        if (tmp.isServer()) {
            Table flow(tmp.db(), TableId::Flow);
            flow.open();
            tmp.db().exec(QStringLiteral("DROP TABLE \"NRVA2002pump\""));
            Table t(tmp.db(), TableId::Pump);
            QVERIFY_THROWS_EXCEPTION(EngineError, t.open());
            QVERIFY(!t.isOpen());
            LastLabel progress;
            QVERIFY(!TablesExist(tmp.db(), progress));
            return;
        }
        const QString path = tmp.db().tableFilePath(TableId::Pump);
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        Table t(tmp.db(), TableId::Pump);
        QVERIFY_THROWS_EXCEPTION(EngineError, t.open());
        QVERIFY(!t.isOpen());
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::rename(path, tmp.dataDir() + "/NRVA2002PUMP.DB");
        t.open(); // any letter case is the same file
        QCOMPARE(t.recordCount(), 1);
    }

    // A table of the first version gains the test table's index when it opens. On a server
    // only the table's owner may add it: anyone else still opens the table and writes to it,
    // inside a transaction of his own, and the table waits for its owner.
    void versionOneTestTableGainsItsIndex() {
        TempDatabase tmp;
        QCOMPARE(dateIndexState(tmp.db()), QString("%1 1").arg(kSchemaVersion));
        makeVersionOne(tmp.db());
        if (tmp.isServer()) {
            tmp.db().exec(QStringLiteral(
                "DO $$BEGIN CREATE ROLE clerk LOGIN; EXCEPTION WHEN duplicate_object THEN NULL; "
                "END$$; GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO "
                "clerk"));
            QFile registry(tmp.path("clerk.ini"));
            QVERIFY(registry.open(QIODevice::WriteOnly));
            registry.write(bytesOf(tmp.registryPath()).replace("user=nerova", "user=clerk"));
            registry.close();
            Database clerk(registry.fileName(), tmp.dataDir());
            {
                Table pump(clerk, TableId::Pump);
                pump.open();
                Database::Transaction tx(clerk);
                Table t(clerk, TableId::Test);
                t.open();
                t.edit();
                t.setValue("Notes", "Written by the clerk");
                t.post();
                tx.commit();
            }
            QCOMPARE(dateIndexState(clerk), QString("1 0"));
            Table t(tmp.db(), TableId::Test);
            t.open();
            QCOMPARE(t.asString("Notes"), QString("Written by the clerk"));
        }
        QCOMPARE(dateIndexState(tmp.db()), QString("%1 1").arg(kSchemaVersion));
    }

    void schemaVersionCheckedOnOpen_data() {
        QTest::addColumn<int>("stored");
        QTest::newRow("newer refused") << kSchemaVersion + 1;
        QTest::newRow("unstamped taken and stamped") << 0;
    }
    void schemaVersionCheckedOnOpen() {
        QFETCH(int, stored);
        TempDatabase tmp;
        Table t(tmp.db(), TableId::Pump);
        t.open();
        const QString stamp = stored == 0
                                  ? QStringLiteral("NULL")
                                  : QStringLiteral("'Nerova 2002 table, version %1'").arg(stored);
        tmp.db().exec(tmp.isServer()
                          ? QStringLiteral("COMMENT ON TABLE \"NRVA2002pump\" IS %1").arg(stamp)
                          : QStringLiteral("PRAGMA pump.user_version = %1").arg(stored));
        t.close();
        if (stored > kSchemaVersion) {
            try {
                t.open();
                QFAIL("a file of a newer version opened");
            } catch (const EngineError& e) {
                QVERIFY(e.text().endsWith("was written by a newer version of the program."));
            }
            QVERIFY(!tmp.db().isAttached(TableId::Pump));
            return;
        }
        t.open();
        QCOMPARE(t.recordCount(), 1);
        if (tmp.isServer()) {
            auto st = tmp.db().prepared(
                QStringLiteral("SELECT obj_description('\"NRVA2002pump\"'::regclass, 'pg_class')"));
            QVERIFY(st->step());
            QCOMPARE(st->text(0),
                     QStringLiteral("Nerova 2002 table, version %1").arg(kSchemaVersion));
            return;
        }
        auto version = tmp.db().prepared(QStringLiteral("PRAGMA pump.user_version"));
        QVERIFY(version->step());
        QCOMPARE(version->int64(0), qint64(kSchemaVersion));
    }
};

QTEST_GUILESS_MAIN(TableTest)
#include "table_test.moc"
