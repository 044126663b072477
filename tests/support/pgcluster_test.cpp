#include "support/PgCluster.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <libpq-fe.h>
#include <memory>

using nerova::test::PgCluster;

namespace {
using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;

Connection connectTo(const QString& uri) {
    return Connection(PQconnectdb(uri.toUtf8().constData()), &PQfinish);
}

// The one value of a one-row query; empty when it fails.
QString value(PGconn* conn, const char* sql) {
    PGresult* r = PQexec(conn, sql);
    const QString v = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1
                          ? QString::fromUtf8(PQgetvalue(r, 0, 0))
                          : QString();
    PQclear(r);
    return v;
}
} // namespace

class PgClusterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void databasesAreOwnAndDropEvenInUse();
    void persistentClusterOutlivesItsObject();
};

// Two databases of one cluster are reached by their URIs alone, and a database a test still
// holds open is dropped all the same (a test that fails midway leaves connections behind).
void PgClusterTest::databasesAreOwnAndDropEvenInUse() {
    PgCluster& cluster = PgCluster::shared();
    QVERIFY2(cluster.available(), qPrintable(cluster.skipReason()));
    const QString uris[] = {cluster.createDatabase(), cluster.createDatabase()};
    QVERIFY(uris[0] != uris[1]);
    for (const QString& uri : uris) {
        Connection conn = connectTo(uri);
        QVERIFY2(PQstatus(conn.get()) == CONNECTION_OK, PQerrorMessage(conn.get()));
        QCOMPARE(value(conn.get(), "SELECT current_database()"), PgCluster::databaseOf(uri));
    }

    Connection held = connectTo(uris[0]);
    QCOMPARE(value(held.get(), "SELECT 1"), QStringLiteral("1"));
    cluster.dropDatabase(PgCluster::databaseOf(uris[0]));
    QVERIFY(value(held.get(), "SELECT 1").isEmpty());
    QCOMPARE(PQstatus(connectTo(uris[0]).get()), CONNECTION_BAD);
    cluster.dropDatabase(PgCluster::databaseOf(uris[1]));
}

// The benchmarks' cluster keeps running and keeps its data after the object that started it,
// until it is stopped; a later object finds it running, or starts it again with its data.
void PgClusterTest::persistentClusterOutlivesItsObject() {
    QTemporaryDir dir(QStringLiteral("/tmp/nerova-pgp-XXXXXX"));
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    const auto stopAtEnd = qScopeGuard([&] {
        if (QFile::exists(folder + QStringLiteral("/data/postmaster.pid")))
            PgCluster::persistent(folder)->stopServer();
    });
    QString uri;
    {
        const auto cluster = PgCluster::persistent(folder);
        QVERIFY2(cluster->available(), qPrintable(cluster->skipReason()));
        uri = cluster->uriFor(QStringLiteral("postgres"));
        Connection conn = connectTo(uri);
        PQclear(PQexec(conn.get(), "CREATE TABLE kept (n int); INSERT INTO kept VALUES (7)"));
    }
    QCOMPARE(value(connectTo(uri).get(), "SELECT n FROM kept"), QStringLiteral("7"));

    PgCluster::persistent(folder)->stopServer();
    QCOMPARE(PQstatus(connectTo(uri).get()), CONNECTION_BAD);
    const auto again = PgCluster::persistent(folder);
    QVERIFY2(again->available(), qPrintable(again->skipReason()));
    QCOMPARE(value(connectTo(uri).get(), "SELECT n FROM kept"), QStringLiteral("7"));
}

QTEST_GUILESS_MAIN(PgClusterTest)
#include "pgcluster_test.moc"
