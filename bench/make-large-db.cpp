// make-large-db DIR: writes a large database for the benchmarks into DIR: the alias registry
// DIR/aliases.ini and the five table files in DIR/data, filled with 2,000 companies, 5,000
// locations, 8,000 pumps, 100,000 tests (all eight flow points filled) and 400,000 flow
// rows. The rows are made up but look like a contractor's data: varied identifiers,
// names, cities and states. Two rows are known by identifier (see LargeDb.h): a pump with
// exactly 50 tests and a company with 2,000 tests.
//
// The rows go in through the engine's own connection as plain prepared INSERTs in one
// transaction, in key order, which keeps the whole run well under two minutes.

#include "LargeDb.h"
#include "MadeUpWords.h"

#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "data/Table.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTime>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

using namespace nerova;
using namespace nerova::bench;

namespace {

// Values for the columns a table has no special rule for, chosen from small per-column
// pools so that a row costs little to make but the table still holds varied data.
class FillerPool {
public:
    FillerPool(const TableDef& def, Rng& rng) : m_def(def) {
        for (const ColumnDef& c : def.columns) {
            QVector<QVariant> pool;
            for (int i = 0; i < 16; ++i) {
                switch (c.type) {
                case ColumnType::Alpha:
                    pool << (c.size <= 2 ? QVariant(QString::fromLatin1(rng.pick(kCities).state))
                                         : QVariant(words(rng, 1 + rng.below(3), c.size)));
                    break;
                case ColumnType::Memo:
                    pool << (i % 4 == 0 ? QVariant(words(rng, 6 + rng.below(20), 240))
                                        : QVariant());
                    break;
                case ColumnType::Number:
                    pool << QVariant(std::round(rng.uniform(0, 500) * 10) / 10);
                    break;
                case ColumnType::Logical:
                    pool << QVariant(rng.below(2) == 1);
                    break;
                case ColumnType::Date:
                    pool << QVariant(QDate(1998, 1, 1).addDays(rng.below(4000)));
                    break;
                case ColumnType::Time:
                    pool << QVariant(QTime(7 + rng.below(10), rng.below(60)));
                    break;
                }
            }
            m_pools.push_back(pool);
        }
    }
    // Fills every column of row from the pools.
    void fill(QVariantList& row, Rng& rng) const {
        row.resize(static_cast<int>(m_def.columns.size()));
        for (int i = 0; i < row.size(); ++i)
            row[i] = m_pools[static_cast<std::size_t>(i)][rng.below(16)];
    }

private:
    const TableDef& m_def;
    std::vector<QVector<QVariant>> m_pools;
};

// Column positions by name, resolved once per table.
class Columns {
public:
    explicit Columns(TableId id) : m_def(tableDef(id)) {}
    int operator()(const QString& name) const {
        const int i = m_def.indexOf(name);
        if (i < 0)
            throw EngineError(
                QStringLiteral("No column %1 in %2").arg(name, QString::fromLatin1(m_def.name)));
        return i;
    }

private:
    const TableDef& m_def;
};

QString insertSql(Database& db, TableId id) {
    return insertSql(db.qualifiedName(id), tableDef(id));
}

// How many children each of `parents` gets: at least one each, the rest spread at random.
std::vector<int> spread(int parents, int children, Rng& rng) {
    std::vector<int> counts(static_cast<std::size_t>(parents), 1);
    for (int i = parents; i < children; ++i)
        ++counts[static_cast<std::size_t>(rng.below(parents))];
    return counts;
}

struct PumpInfo {
    double ratedFlow;
    double ratedSpeed;
    double churn;
};

class Generator {
public:
    explicit Generator(Database& db)
        : m_db(db), m_rng(20020101), m_companyPool(tableDef(TableId::Company), m_rng),
          m_locationPool(tableDef(TableId::Location), m_rng),
          m_pumpPool(tableDef(TableId::Pump), m_rng), m_testPool(tableDef(TableId::Test), m_rng),
          m_company(TableId::Company), m_location(TableId::Location), m_pump(TableId::Pump),
          m_test(TableId::Test), m_flow(TableId::Flow) {
        resolveColumns();
    }

    void run() {
        Statement& companyInsert = m_db.statement(insertSql(m_db, TableId::Company));
        Statement& locationInsert = m_db.statement(insertSql(m_db, TableId::Location));
        Statement& pumpInsert = m_db.statement(insertSql(m_db, TableId::Pump));
        Statement& testInsert = m_db.statement(insertSql(m_db, TableId::Test));
        Statement& flowInsert = m_db.statement(insertSql(m_db, TableId::Flow));
        m_inserts = {&companyInsert, &locationInsert, &pumpInsert, &testInsert, &flowInsert};

        // The companies: two known ones, the rest named from word lists.
        struct CompanyPlan {
            QString id;
            QString name;
            int special; // 0 ordinary, 1 the cascade company, 2 the 50-test pump's company
        };
        std::vector<CompanyPlan> companies;
        companies.push_back({QString::fromLatin1(kCascadeCompany),
                             QStringLiteral("Cascade Benchmark Industries"), 1});
        companies.push_back(
            {QString::fromLatin1(kFiftyCompany), QStringLiteral("Movebench Pumping Co."), 2});
        for (int i = 2; i < kCompanies; ++i) {
            const QString first = QString::fromLatin1(m_rng.pick(kFirstWords));
            const QString name = first + QLatin1Char(' ') +
                                 QString::fromLatin1(m_rng.pick(kSecondWords)) + QLatin1Char(' ') +
                                 QString::fromLatin1(m_rng.pick(kSuffixes));
            companies.push_back(
                {first.toUpper() + QStringLiteral("-%1").arg(i, 4, 10, QLatin1Char('0')), name, 0});
        }
        std::sort(companies.begin(), companies.end(),
                  [](const CompanyPlan& a, const CompanyPlan& b) {
                      return a.id.toUtf8() < b.id.toUtf8();
                  });

        // The ordinary companies share what the two known ones leave over.
        const int ordinary = kCompanies - 2;
        const int cascadePumps = kCascadeLocations * kCascadePumpsPerLocation;
        const std::vector<int> locationsPer =
            spread(ordinary, kLocations - kCascadeLocations - 1, m_rng);
        const int ordinaryLocations = kLocations - kCascadeLocations - 1;
        const std::vector<int> pumpsPer =
            spread(ordinaryLocations, kPumps - cascadePumps - 1, m_rng);
        const int ordinaryPumps = kPumps - cascadePumps - 1;
        m_testsPer = spread(ordinaryPumps, kTests - kCascadeTests - kFiftyTests, m_rng);

        int nextLocation = 0;
        int nextPump = 0;
        for (const CompanyPlan& c : companies) {
            const City& city = m_rng.pick(kCities);
            QVariantList row;
            m_companyPool.fill(row, m_rng);
            row[m_company(QStringLiteral("CompanyID"))] = c.id;
            row[m_company(QStringLiteral("Name"))] = c.name;
            contact(row, m_company, city);
            insert(TableId::Company, row);

            if (c.special == 1) {
                for (int l = 0; l < kCascadeLocations; ++l) {
                    const QString locId =
                        QStringLiteral("SITE %1").arg(l + 1, 2, 10, QLatin1Char('0'));
                    location(c.id, locId, c.name, city);
                    for (int p = 0; p < kCascadePumpsPerLocation; ++p)
                        pump(c.id, locId, QStringLiteral("%1").arg(p + 1, 2, 10, QLatin1Char('0')),
                             cascadeTestsOfPump(l * kCascadePumpsPerLocation + p));
                }
                continue;
            }
            if (c.special == 2) {
                const QString locId = QString::fromLatin1(kFiftyLocation);
                location(c.id, locId, c.name, city);
                pump(c.id, locId, QString::fromLatin1(kFiftyPump), kFiftyTests);
                continue;
            }
            const int locCount = locationsPer[static_cast<std::size_t>(m_ordinaryCompany++)];
            QStringList locIds;
            for (int l = 0; l < locCount; ++l)
                locIds << (l == 0 ? QStringLiteral("*")
                                  : QStringLiteral("%1 %2")
                                        .arg(QString::fromLatin1(m_rng.pick(kSiteKinds)))
                                        .arg(l + 1));
            std::sort(locIds.begin(), locIds.end(),
                      [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
            for (const QString& locId : std::as_const(locIds)) {
                location(c.id, locId, c.name, m_rng.pick(kCities));
                const int pumpCount = pumpsPer[static_cast<std::size_t>(nextLocation++)];
                for (int p = 0; p < pumpCount; ++p) {
                    const QString pumpId =
                        m_rng.below(3) == 0
                            ? QStringLiteral("FP-%1").arg(p + 1)
                            : QStringLiteral("%1").arg(p + 1, 2, 10, QLatin1Char('0'));
                    pump(c.id, locId, pumpId, m_testsPer[static_cast<std::size_t>(nextPump++)]);
                }
            }
        }
    }

    int count(TableId id) const { return m_counts[static_cast<int>(id)]; }

private:
    void insert(TableId id, const QVariantList& row) {
        Statement& st = *m_inserts[static_cast<std::size_t>(id)];
        st.reset();
        st.bindAll(row);
        st.run();
        ++m_counts[static_cast<int>(id)];
    }

    void contact(QVariantList& row, const Columns& col, const City& city) {
        row[col(QStringLiteral("Address1"))] = QStringLiteral("%1 %2")
                                                   .arg(10 + m_rng.below(9000))
                                                   .arg(QString::fromLatin1(m_rng.pick(kStreets)));
        row[col(QStringLiteral("City"))] = QString::fromLatin1(city.name);
        row[col(QStringLiteral("State"))] = QString::fromLatin1(city.state);
        row[col(QStringLiteral("Zip"))] = QString::fromLatin1(city.zip);
        row[col(QStringLiteral("Contact Name"))] = person(m_rng);
        row[col(QStringLiteral("Contact Title"))] = QString::fromLatin1(m_rng.pick(kTitles));
        row[col(QStringLiteral("Contact Phone"))] = phone(m_rng);
        row[col(QStringLiteral("Contact Fax"))] = phone(m_rng);
        row[col(QStringLiteral("Contact Cell"))] = phone(m_rng);
        row[col(QStringLiteral("Contact Phone Ext"))] = QString::number(m_rng.below(999));
    }

    void location(const QString& companyId, const QString& locationId, const QString& name,
                  const City& city) {
        QVariantList row;
        m_locationPool.fill(row, m_rng);
        row[m_location(QStringLiteral("CompanyID"))] = companyId;
        row[m_location(QStringLiteral("LocationID"))] = locationId;
        row[m_location(QStringLiteral("Name"))] =
            locationId == QStringLiteral("*")
                ? name
                : (name.left(30) + QStringLiteral(" - ") + locationId).left(40);
        row[m_location(QStringLiteral("SameAsCompany"))] = locationId == QStringLiteral("*");
        contact(row, m_location, city);
        insert(TableId::Location, row);
    }

    void pump(const QString& companyId, const QString& locationId, const QString& pumpId,
              int tests) {
        QVariantList row;
        m_pumpPool.fill(row, m_rng);
        PumpInfo info{m_rng.pick(kRatedFlows), m_rng.pick(kRatedSpeeds), 0};
        const double ratedPressure = 40 + m_rng.below(12) * 10;
        info.churn = std::round(ratedPressure * 1.2);
        row[m_pump(QStringLiteral("CompanyID"))] = companyId;
        row[m_pump(QStringLiteral("LocationID"))] = locationId;
        row[m_pump(QStringLiteral("PumpID"))] = pumpId;
        row[m_pump(QStringLiteral("Pump Mfr"))] = QString::fromLatin1(m_rng.pick(kMakers));
        row[m_pump(QStringLiteral("Pump SN"))] =
            QStringLiteral("%1-%2").arg(m_rng.below(1000)).arg(m_rng.below(100000));
        row[m_pump(QStringLiteral("Pump Type"))] = QString::fromLatin1(m_rng.pick(kPumpTypes));
        row[m_pump(QStringLiteral("Driver Type"))] = QString::fromLatin1(m_rng.pick(kDriverTypes));
        row[m_pump(QStringLiteral("Label"))] = QString::fromLatin1(m_rng.pick(kLabels));
        row[m_pump(QStringLiteral("Discharge Diameter"))] = 4.0 + 2 * m_rng.below(3);
        row[m_pump(QStringLiteral("Suction Diameter"))] = 6.0 + 2 * m_rng.below(3);
        row[m_pump(QStringLiteral("Churn Pressure"))] = info.churn;
        row[m_pump(QStringLiteral("100% Flow"))] = info.ratedFlow;
        row[m_pump(QStringLiteral("100% Pressure"))] = ratedPressure;
        row[m_pump(QStringLiteral("150% Flow"))] = info.ratedFlow * 1.5;
        row[m_pump(QStringLiteral("150% Pressure"))] = ratedPressure * 0.65;
        row[m_pump(QStringLiteral("Pump Elevation"))] = 0.0;
        row[m_pump(QStringLiteral("Discharge Elevation"))] = 1.0 + m_rng.below(3);
        row[m_pump(QStringLiteral("Suction Elevation"))] = 1.0 + m_rng.below(3);
        row[m_pump(QStringLiteral("Pump RPM"))] = info.ratedSpeed;
        insert(TableId::Pump, row);

        QDate date(1992 + m_rng.below(6), 1 + m_rng.below(12), 1 + m_rng.below(28));
        for (int t = 0; t < tests; ++t) {
            test(companyId, locationId, pumpId, date, info);
            date = date.addDays(60 + m_rng.below(300));
        }
    }

    void test(const QString& companyId, const QString& locationId, const QString& pumpId,
              const QDate& date, const PumpInfo& pump) {
        QVariantList row;
        m_testPool.fill(row, m_rng);
        const QString testId = date.toString(Qt::ISODate);
        row[m_test(QStringLiteral("CompanyID"))] = companyId;
        row[m_test(QStringLiteral("LocationID"))] = locationId;
        row[m_test(QStringLiteral("PumpID"))] = pumpId;
        row[m_test(QStringLiteral("TestID"))] = testId;
        row[m_test(QStringLiteral("Test Date"))] = date;
        row[m_test(QStringLiteral("Test Method"))] = QString::fromLatin1(m_rng.pick(kMethods));
        row[m_test(QStringLiteral("Discharge Device"))] = QString::fromLatin1(m_rng.pick(kDevices));
        row[m_test(QStringLiteral("Tester1"))] = person(m_rng);
        row[m_test(QStringLiteral("Velocity Pressure"))] = m_rng.below(4) == 0;
        const int startMinute = 8 * 60 + m_rng.below(8 * 60); // ends before midnight
        for (int n = 1; n <= 8; ++n) {
            const PointColumns& col = m_points[static_cast<std::size_t>(n)];
            const double fraction = (n - 1) * 0.2; // churn to 140% of rated flow
            const double flow = std::round(pump.ratedFlow * fraction * m_rng.uniform(0.97, 1.03));
            const double suction = std::round(m_rng.uniform(10, 40));
            const double discharge = std::round(
                suction + pump.churn * (1.0 - 0.25 * fraction * fraction) + m_rng.uniform(-3, 3));
            const double rpm = std::round(pump.ratedSpeed * m_rng.uniform(0.98, 1.02));
            const double net = discharge - suction;
            const double ratio = pump.ratedSpeed / rpm;
            const int minute = startMinute + 5 * (n - 1);
            row[col.time] = m_times[static_cast<std::size_t>(minute)];
            row[col.discharge] = discharge;
            row[col.suction] = suction;
            row[col.flow] = flow;
            row[col.rpm] = rpm;
            row[col.net] = net;
            row[col.correctedNet] = std::round(net * ratio * ratio);
            row[col.correctedFlow] = std::round(flow * ratio);
            row[col.percent] = std::round(100 * flow * ratio / pump.ratedFlow);
            for (int phase = 0; phase < 3; ++phase) {
                row[col.amp[phase]] = std::round(m_rng.uniform(40, 90));
                row[col.volt[phase]] = std::round(m_rng.uniform(225, 235));
            }
        }
        insert(TableId::Test, row);

        // Four flow rows, for the points measured with devices (points 2 to 5).
        for (int k = 0; k < kFlowRowsPerTest; ++k) {
            QVariantList flow;
            flow.resize(static_cast<int>(tableDef(TableId::Flow).columns.size()));
            for (int i = 0; i < 4; ++i)
                flow[i] = row[i];
            flow[4] = m_pointNumbers[static_cast<std::size_t>(k + 2)];
            const int devices = 1 + m_rng.below(3);
            for (int d = 0; d < devices; ++d) {
                const double size = 1.125 + 0.625 * m_rng.below(3);
                const double pitot = std::round(m_rng.uniform(8, 40));
                // Each device has four columns after "Flow Meter": size, coefficient,
                // pitot pressure, calculated flow.
                const int base = m_firstDevice + 4 * d;
                flow[base] = size;
                flow[base + 1] = 0.97;
                flow[base + 2] = pitot;
                flow[base + 3] = std::round(29.83 * 0.97 * size * size * std::sqrt(pitot));
            }
            insert(TableId::Flow, flow);
        }
    }

    // Column positions of one flow point of the test table, resolved once.
    struct PointColumns {
        int time = 0, discharge = 0, suction = 0, flow = 0, rpm = 0, net = 0, correctedNet = 0,
            correctedFlow = 0, percent = 0;
        int amp[3] = {0, 0, 0};
        int volt[3] = {0, 0, 0};
    };

    void resolveColumns() {
        m_points.resize(9);
        for (int n = 1; n <= 8; ++n) {
            const QString p = QString::number(n);
            PointColumns& c = m_points[static_cast<std::size_t>(n)];
            c.time = m_test(QStringLiteral("Time") + p);
            c.discharge = m_test(QStringLiteral("Discharge Pressure") + p);
            c.suction = m_test(QStringLiteral("Suction Pressure") + p);
            c.flow = m_test(QStringLiteral("Flow") + p);
            c.rpm = m_test(QStringLiteral("RPM") + p);
            c.net = m_test(QStringLiteral("Net Pressure") + p);
            c.correctedNet = m_test(QStringLiteral("Corrected Net Pressure") + p);
            c.correctedFlow = m_test(QStringLiteral("Corrected Flow") + p);
            c.percent = m_test(QStringLiteral("Percent Rated Flow") + p);
            for (int phase = 0; phase < 3; ++phase) {
                const QString suffix = QStringLiteral("%1-%2").arg(n).arg(phase + 1);
                c.amp[phase] = m_test(QStringLiteral("Amp") + suffix);
                c.volt[phase] = m_test(QStringLiteral("Volt") + suffix);
            }
        }
        m_firstDevice = m_flow(QStringLiteral("Nozzle Size1"));
        if (m_flow(QStringLiteral("Calculated Flow3")) != m_firstDevice + 11 ||
            m_flow(QStringLiteral("Flow Point Number")) != 4)
            throw EngineError(QStringLiteral("Unexpected flow table layout"));
        for (int n = 0; n <= 8; ++n)
            m_pointNumbers.push_back(QString::number(n));
        for (int minute = 0; minute < 24 * 60; ++minute)
            m_times.push_back(QTime(minute / 60, minute % 60).toString(QStringLiteral("hh:mm AP")));
    }

    Database& m_db;
    Rng m_rng;
    FillerPool m_companyPool;
    FillerPool m_locationPool;
    FillerPool m_pumpPool;
    FillerPool m_testPool;
    Columns m_company;
    Columns m_location;
    Columns m_pump;
    Columns m_test;
    Columns m_flow;
    std::vector<Statement*> m_inserts;
    std::vector<int> m_testsPer;
    std::vector<PointColumns> m_points;
    std::vector<QVariant> m_pointNumbers;
    std::vector<QVariant> m_times;
    int m_firstDevice = 0;
    int m_ordinaryCompany = 0;
    int m_counts[5] = {0, 0, 0, 0, 0};
};

} // namespace

int main(int argc, char** argv) {
    const QString dir =
        QDir(QString::fromLocal8Bit(argc > 1 ? argv[1] : "/tmp/nerova-large")).absolutePath();
    const QString dataDir = dir + QStringLiteral("/data");
    QElapsedTimer clock;
    clock.start();
    try {
        if (!QDir().mkpath(dataDir))
            throw EngineError(QStringLiteral("Cannot create %1").arg(dataDir));
        // A registry of our own, always pointing at this folder.
        QFile registry(dir + QStringLiteral("/aliases.ini"));
        if (!registry.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            throw EngineError(QStringLiteral("Cannot write %1").arg(registry.fileName()));
        registry.write(QStringLiteral("[NRVA2002]\nPATH=%1\n").arg(dataDir).toUtf8());
        registry.close();

        Database db(dir + QStringLiteral("/aliases.ini"), dataDir);
        for (TableId id : kAllTables)
            db.createTable(id);
        std::vector<std::unique_ptr<Table>> tables;
        for (TableId id : kAllTables) {
            tables.push_back(std::make_unique<Table>(db, id));
            tables.back()->open(); // attaches the file to the connection
        }
        Generator gen(db);
        db.begin();
        gen.run();
        db.commit();

        // The two known rows, counted back from the files.
        const QString testTable = db.qualifiedName(TableId::Test);
        Statement& fifty = db.statement(
            QStringLiteral("SELECT count(*) FROM %1 WHERE \"CompanyID\" = ? AND \"LocationID\" = ? "
                           "AND \"PumpID\" = ?")
                .arg(testTable));
        fifty.bindAll({QString::fromLatin1(kFiftyCompany), QString::fromLatin1(kFiftyLocation),
                       QString::fromLatin1(kFiftyPump)});
        const qint64 fiftyTests = fifty.step() ? fifty.int64(0) : -1;
        Statement& cascade = db.statement(
            QStringLiteral("SELECT count(*) FROM %1 WHERE \"CompanyID\" = ?").arg(testTable));
        cascade.bind(1, QString::fromLatin1(kCascadeCompany));
        const qint64 cascadeTests = cascade.step() ? cascade.int64(0) : -1;
        for (auto& t : tables)
            t->close();
        if (fiftyTests != kFiftyTests || cascadeTests != kCascadeTests)
            throw EngineError(QStringLiteral("The known rows came out wrong: %1 and %2 tests")
                                  .arg(fiftyTests)
                                  .arg(cascadeTests));

        std::printf("Wrote %s in %.1f s\n", qPrintable(dataDir), double(clock.elapsed()) / 1000.0);
        for (TableId id : kAllTables)
            std::printf("  %-9s %7d rows\n", tableDef(id).label, gen.count(id));
        std::printf("Pump with %d tests: CompanyID \"%s\", LocationID \"%s\", PumpID \"%s\"\n",
                    kFiftyTests, kFiftyCompany, kFiftyLocation, kFiftyPump);
        std::printf("Company with %d tests: CompanyID \"%s\"\n", kCascadeTests, kCascadeCompany);
        std::printf("Registry: %s/aliases.ini\n", qPrintable(dir));
    } catch (const EngineError& e) {
        std::fprintf(stderr, "make-large-db: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
