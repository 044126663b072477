// Deletes and identifier changes that reach through several tables.
#include "data/Cascade.h"
#include "data/EngineError.h"
#include "data/Identifiers.h"
#include "data/TableChain.h"
#include "support/TempDatabase.h"

#include <QtTest>

using namespace nerova;
using nerova::test::TempDatabase;

namespace {

// The demonstration company with a second test of eight flow rows.
void addSecondTest(TableChain& c) {
    c.test.insert();
    c.test.setValue("TestID", "T2");
    c.test.post();
    for (int n = 1; n <= 8; ++n) {
        c.flow.insert();
        c.flow.setValue("Flow Point Number", QString::number(n));
        c.flow.post();
    }
}

int rows(Database& db, TableId id) {
    Table t(db, id);
    t.open();
    return t.recordCount();
}

QVariantList demoKey(int levels) {
    QVariantList all{"ABC Paint Company", "*", "01", "20010731"};
    return all.mid(0, levels);
}

} // namespace

class CascadeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void companyGoesDeepestFirst() {
        TempDatabase tmp;
        TableChain c(tmp.db());
        c.open();
        addSecondTest(c);
        QStringList order;
        deleteWithDependants(
            tmp.db(), TableId::Company, demoKey(1), [&](TableId id, const QVariantList& key) {
                order << QString::fromLatin1(tableDef(id).name) + ":" + key.last().toString();
            });
        QStringList expected;
        for (const char* n : {"2", "3", "4"})
            expected << QString("flow:") + n;
        expected << "test:20010731";
        for (int n = 1; n <= 8; ++n)
            expected << QString("flow:%1").arg(n);
        expected << "test:T2"
                 << "pump:01"
                 << "location:*"
                 << "company:ABC Paint Company";
        QCOMPARE(order, expected);
        for (TableId id : kAllTables)
            QCOMPARE(rows(tmp.db(), id), 0);
    }

    void failurePartWayChangesNothing() {
        TempDatabase tmp;
        TableChain c(tmp.db());
        c.open();
        addSecondTest(c);
        int seen = 0;
        QVERIFY_THROWS_EXCEPTION(EngineError,
                                 deleteWithDependants(tmp.db(), TableId::Company, demoKey(1),
                                                      [&](TableId, const QVariantList&) {
                                                          if (++seen == 6)
                                                              throw EngineError("disk full");
                                                      }));
        QCOMPARE(rows(tmp.db(), TableId::Flow), 11);
        QCOMPARE(rows(tmp.db(), TableId::Test), 2);
        QCOMPARE(rows(tmp.db(), TableId::Company), 1);
        QCOMPARE(tmp.db().transactionDepth(), 0);
    }

    void identifierChangeRewritesOnlyItsOwnRows() {
        TempDatabase tmp;
        TableChain c(tmp.db());
        c.open();
        addSecondTest(c); // T2 with eight flow rows stays untouched
        changeIdentifier(tmp.db(), TableId::Test, demoKey(4), "NEW");
        c.test.refresh();
        QVERIFY(c.test.locate({"TestID"}, {"NEW"}));
        QCOMPARE(c.flow.recordCount(), 3);
        QVERIFY(c.test.locate({"TestID"}, {"T2"}));
        QCOMPARE(c.flow.recordCount(), 8);

        changeIdentifier(tmp.db(), TableId::Location, demoKey(2), " Plant 2 ");
        c.company.refresh();
        QCOMPARE(c.location.asString("LocationID"), QString(" Plant 2 "));
        QCOMPARE(c.pump.recordCount(), 1);
        QCOMPARE(c.test.recordCount(), 2);
        c.test.first();
        QCOMPARE(c.flow.recordCount(), 3);
    }

    void uniquenessIgnoresCaseAndSeesHiddenCompanies() {
        TempDatabase tmp;
        TableChain c(tmp.db());
        c.open();
        c.company.insert();
        c.company.setValue("CompanyID", "Hidden Co");
        c.company.post();
        c.company.setPrefixFilter("CompanyID", "ABC");
        QCOMPARE(c.company.recordCount(), 1);
        QVERIFY(identifierInUse(tmp.db(), TableId::Company, demoKey(1), "hidden co"));
        QVERIFY(identifierInUse(tmp.db(), TableId::Company, demoKey(1), "abc paint company"));
        // A pump identifier is unique only under its own location.
        QVERIFY(!identifierInUse(tmp.db(), TableId::Pump, {"ABC Paint Company", "Elsewhere", "x"},
                                 "01"));
        QVERIFY(identifierInUse(tmp.db(), TableId::Pump, demoKey(3), "01"));
    }

    void identifierChangeFailingPartWayIsUndone() {
        TempDatabase tmp;
        TableChain c(tmp.db());
        c.open();
        if (tmp.isServer())
            tmp.db().exec("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                          "$$BEGIN RAISE EXCEPTION 'disk I/O error'; END$$; "
                          "CREATE TRIGGER refuse BEFORE UPDATE ON \"NRVA2002pump\" "
                          "FOR EACH ROW EXECUTE FUNCTION refuse()");
        else
            tmp.db().exec("CREATE TEMP TRIGGER refuse BEFORE UPDATE ON pump.NRVA2002pump "
                          "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END");
        QVERIFY_THROWS_EXCEPTION(EngineError,
                                 changeIdentifier(tmp.db(), TableId::Location, demoKey(2), "L2"));
        c.company.refresh();
        QCOMPARE(c.location.asString("LocationID"), QString("*"));
        QCOMPARE(c.flow.recordCount(), 3);
        Table flows(tmp.db(), TableId::Flow);
        flows.open();
        QVERIFY(!flows.locate({"LocationID"}, {"L2"}));
    }
};

QTEST_GUILESS_MAIN(CascadeTest)
#include "cascade_test.moc"
