// What each action costs in round trips to an office server, counted by the latency proxy:
// over a network every round trip is a wait, so an action that takes one more is caught here.
#include "data/Database.h"
#include "data/Statement.h"
#include "data/TableChain.h"
#include "data/TablesExistCreate.h"
#include "support/LatencyProxy.h"
#include "support/PgCluster.h"
#include "support/TempDatabase.h"

#include <QSaveFile>
#include <QtTest>
#include <functional>
#include <libpq-fe.h>

using namespace nerova;
using nerova::test::LatencyProxy;
using nerova::test::PgCluster;
using nerova::test::silentProgress;
using nerova::test::TempDatabase;

using Action = std::function<void(TableChain&)>;
Q_DECLARE_METATYPE(Action)

class RoundTripTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempDatabase> m_tmp;
    std::unique_ptr<LatencyProxy> m_proxy;
    QString m_registry;
    int m_connectTrips = 0;

    // The engine on the test's database, reached through the proxy as an alias would.
    std::unique_ptr<Database> throughProxy() {
        return std::make_unique<Database>(m_registry, m_tmp->dataDir());
    }

private Q_SLOTS:
    void initTestCase() {
        if (!PgCluster::shared().available())
            QSKIP(qPrintable(PgCluster::shared().skipReason()));
        m_tmp = std::make_unique<TempDatabase>(true, TempDatabase::Where::Server);
        // A second company with the demonstration rows below it, so that Next has somewhere
        // to go with a whole chain to follow.
        {
            TableChain c(m_tmp->db());
            c.open();
            for (const TableId id : kAllTables) {
                QStringList columns = tableDef(id).columnNames();
                const QString list = quotedList(columns);
                columns[0] = QStringLiteral("'ZZ Second Company'");
                m_tmp->db().exec(
                    QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %1")
                        .arg(m_tmp->db().qualifiedName(id), list,
                             columns.mid(1).isEmpty()
                                 ? columns[0]
                                 : columns[0] + QStringLiteral(", ") + quotedList(columns.mid(1))));
            }
        }
        m_proxy = std::make_unique<LatencyProxy>(
            LatencyProxy::pgSocketIn(PgCluster::shared().folder()), 0);
        QVERIFY2(m_proxy->available(), qPrintable(m_proxy->failure()));
        QFile registry(m_tmp->registryPath());
        QVERIFY(registry.open(QIODevice::ReadOnly));
        const QString direct = QString::fromUtf8(registry.readAll())
                                   .section(QStringLiteral("CONNECTION="), 1)
                                   .trimmed();
        m_registry = m_tmp->path(QStringLiteral("proxied.ini"));
        QSaveFile f(m_registry);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("[NRVA2002]\nCONNECTION=%1\n")
                    .arg(m_proxy->uriThrough(direct))
                    .toUtf8());
        QVERIFY(f.commit());
        // What the connection itself costs, to be left out of the start-up's count.
        m_proxy->resetCount();
        PGconn* raw = PQconnectdb(m_proxy->uriThrough(direct).toUtf8().constData());
        QCOMPARE(PQstatus(raw), CONNECTION_OK);
        m_connectTrips = m_proxy->roundTrips();
        PQfinish(raw);
    }

    void startup() {
        auto db = throughProxy();
        TablesProgress& progress = silentProgress();
        m_proxy->resetCount();
        QVERIFY(TablesExist(*db, progress));
        TableChain chain(*db);
        chain.open();
        QCOMPARE(chain.flow.recordCount(), 3);
        const int trips = m_proxy->roundTrips() - m_connectTrips;
        qInfo("start-up: %d round trips after connecting", trips);
        QVERIFY2(trips <= 5, qPrintable(QString::number(trips)));
    }

    void action_data() {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("most");
        QTest::newRow("company Next") << Action([](TableChain& c) { c.company.next(); }) << 2;
        QTest::newRow("company Last") << Action([](TableChain& c) { c.company.last(); }) << 2;
        QTest::newRow("lookup with first move") << Action([](TableChain& c) {
            c.company.setPrefixFilter(QStringLiteral("Name"), QStringLiteral("abc"));
            c.company.next();
        }) << 2;
        QTest::newRow("Save") << Action([](TableChain& c) {
            c.pump.edit();
            c.pump.setValue(QStringLiteral("Pump SN"), QStringLiteral("S-2"));
            c.pump.post();
        }) << 2;
        QTest::newRow("Cancel") << Action([](TableChain& c) {
            c.test.edit();
            c.test.setValue(QStringLiteral("Flow1"), 100.0);
            c.test.cancel();
        }) << 2;
        QTest::newRow("Insert") << Action([](TableChain& c) { c.test.insert(); }) << 2;
        QTest::newRow("Insert, then Save") << Action([](TableChain& c) {
            c.test.insert();
            c.test.setValue(QStringLiteral("TestID"), QStringLiteral("T9"));
            c.test.post();
        }) << 3;
    }
    void action() {
        QFETCH(Action, action);
        QFETCH(int, most);
        auto db = throughProxy();
        TableChain chain(*db);
        chain.open();
        m_proxy->resetCount();
        action(chain);
        const int trips = m_proxy->roundTrips();
        qInfo("%s: %d round trips", QTest::currentDataTag(), trips);
        QVERIFY2(trips <= most, qPrintable(QString::number(trips)));
    }

    void cleanupTestCase() {
        m_proxy.reset();
        m_tmp.reset();
    }
};

QTEST_GUILESS_MAIN(RoundTripTest)
#include "roundtrip_test.moc"
