#include "data/Database.h"
#include "data/DatabaseCopy.h"
#include "data/EngineError.h"
#include "data/Table.h"
#include "support/PgCluster.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sqlite3.h>

using namespace nerova;
using nerova::test::PgCluster;
using nerova::test::TempDatabase;

namespace {

std::unique_ptr<Database> serverDatabase() {
    return std::make_unique<Database>(DataLocation{true, {}, PgCluster::shared().createDatabase()});
}

std::unique_ptr<Database> folderDatabase(const QString& dir) {
    QDir().mkpath(dir);
    return std::make_unique<Database>(DataLocation{false, dir, {}});
}

} // namespace

// Moving every table between the file database and a server, both ways, and back.
class CopyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (!PgCluster::shared().available())
            QFAIL(qPrintable(PgCluster::shared().skipReason()));
    }

    void demonstrationDataTravelsBothWaysUnchanged() {
        TempDatabase file;
        {
            // Values that a careless bulk path would bend: escapes, blanks, binary fractions.
            Table company(file.db(), TableId::Company);
            company.open();
            company.insert();
            company.setValue("CompanyID", "Back\\slash \"Ärger\" 𝔄");
            company.setValue("Name", QString());
            company.setValue("Address1", "Tab\there\\and\nnewline");
            company.post();
            Table test(file.db(), TableId::Test);
            test.open();
            test.edit();
            test.setValue("Test Date", QDate(1999, 12, 31));
            test.setValue("Percent Rated Flow8", 0.1 + 0.2);
            test.post();
        }
        const QList<TableTally> original = tallyDatabase(file.db());
        QCOMPARE(original.size(), 5);

        auto server = serverDatabase();
        QCOMPARE(copyDatabase(file.db(), *server, CopyMode::RefuseRows), original);
        QCOMPARE(tallyDatabase(*server), original);

        auto back = folderDatabase(file.path("back"));
        QCOMPARE(copyDatabase(*server, *back, CopyMode::RefuseRows), original);
        QCOMPARE(tallyDatabase(*back), original);
        Table company(*back, TableId::Company);
        company.open();
        QVERIFY(company.locate({"CompanyID"}, {"Back\\slash \"Ärger\" 𝔄"}));
        QVERIFY(company.isNull("Name"));
        QCOMPARE(company.asString("Address1"), QString("Tab\there\\and\nnewline"));
    }

    void targetWithRowsIsRefusedUnlessReplaced() {
        TempDatabase file;
        auto server = serverDatabase();
        copyDatabase(file.db(), *server, CopyMode::RefuseRows);
        {
            Table company(*server, TableId::Company);
            company.open();
            company.first();
            company.remove();
        }
        const QList<TableTally> before = tallyDatabase(*server);
        try {
            copyDatabase(file.db(), *server, CopyMode::RefuseRows);
            QFAIL("a target holding rows was overwritten");
        } catch (const EngineError& e) {
            QVERIFY2(e.text().contains("nothing was copied"), qPrintable(e.text()));
        }
        QCOMPARE(tallyDatabase(*server), before);
        QCOMPARE(copyDatabase(file.db(), *server, CopyMode::Replace), tallyDatabase(file.db()));
        QVERIFY_THROWS_EXCEPTION(EngineError,
                                 copyDatabase(file.db(), file.db(), CopyMode::Replace));
    }

    // The target bends a value on the way in; the row counts agree, the checksums do not.
    void targetThatChangesAValueIsRefused() {
        TempDatabase file;
        auto server = serverDatabase();
        copyDatabase(file.db(), *server, CopyMode::RefuseRows);
        server->exec(
            QStringLiteral("CREATE FUNCTION bend() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN NEW.\"Name\" := NEW.\"Name\" || 'x'; RETURN NEW; END $$; "
                           "CREATE TRIGGER bend BEFORE INSERT ON \"NRVA2002company\" "
                           "FOR EACH ROW EXECUTE FUNCTION bend()"));
        const QList<TableTally> before = tallyDatabase(*server);
        QVERIFY_THROWS_EXCEPTION(EngineError, copyDatabase(file.db(), *server, CopyMode::Replace));
        QCOMPARE(tallyDatabase(*server), before);
    }

    // The server refuses a row half-way: the tables the copy made go with its transaction.
    void refusedCopyLeavesNoTableBehind() {
        TempDatabase file;
        sqlite3* handle = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(file.db().tableFilePath(TableId::Pump)), &handle),
                 SQLITE_OK);
        const QByteArray sql =
            "UPDATE NRVA2002pump SET \"Pump SN\" = '" + QByteArray(200, 'S') + "'";
        QCOMPARE(sqlite3_exec(handle, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(handle);
        auto server = serverDatabase();
        QVERIFY_THROWS_EXCEPTION(EngineError,
                                 copyDatabase(file.db(), *server, CopyMode::RefuseRows));
        for (const TableId id : kAllTables)
            QVERIFY(!server->tablePresent(id));
    }
};

QTEST_GUILESS_MAIN(CopyTest)
#include "copy_test.moc"
