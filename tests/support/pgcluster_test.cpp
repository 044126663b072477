#include "support/PgCluster.h"

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

QTEST_GUILESS_MAIN(PgClusterTest)
#include "pgcluster_test.moc"
