// Which pumps are due: the latest test of every pump read in one statement, the due dates and
// statuses worked out from it, and the CSV and calendar files made of them.
#include "data/LatestTests.h"
#include "data/Table.h"
#include "eval/EvaluationText.h"
#include "eval/PumpHistory.h"
#include "eval/TestsDue.h"
#include "eval/TestsDueExport.h"
#include "support/TempDatabase.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace nerova;

namespace {

const QDate kToday(2026, 12, 10);

void add(Table& t, const QVariantMap& values) {
    t.append();
    for (auto it = values.begin(); it != values.end(); ++it)
        t.setValue(it.key(), it.value());
    t.post();
}

DuePump pumpDue(const QDate& lastTest, const DueSettings& settings = {}) {
    DuePump p;
    p.lastTest = lastTest;
    QList<DuePump> list{p};
    scheduleDue(list, settings, kToday);
    return list.first();
}

// Debian's iCalendar library reads the file and says what it found, as JSON; empty when
// the library is not there.
QJsonArray parsedByLibrary(const QString& path) {
    const char* script = R"(
import json, sys, icalendar
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
out = []
for e in cal.walk('VEVENT'):
    alarms = [a.get('trigger').dt.days for a in e.walk('VALARM')]
    out.append({'uid': str(e.get('uid')), 'summary': str(e.get('summary')),
                'description': str(e.get('description')),
                'start': e.decoded('dtstart').isoformat(), 'end': e.decoded('dtend').isoformat(),
                'alarms': alarms})
print(json.dumps(out))
)";
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QString::fromLatin1(script), path});
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

bool libraryPresent() {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QStringLiteral("import icalendar")});
    return python.waitForFinished(30000) && python.exitStatus() == QProcess::NormalExit &&
           python.exitCode() == 0;
}

} // namespace

class TestsDueTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void latestTestOfEveryReachablePump();
    void schedule_data();
    void schedule();
    void statusLine();
    void csvQuotesEveryAwkwardField();
    void calendarReadByARealParser();
};

void TestsDueTest::latestTestOfEveryReachablePump() {
    test::TempDatabase tmp(false);
    for (const TableId id : kRecordLevels)
        tmp.db().createTable(id);
    Table company(tmp.db(), TableId::Company);
    Table location(tmp.db(), TableId::Location);
    Table pump(tmp.db(), TableId::Pump);
    Table tests(tmp.db(), TableId::Test);
    for (Table* t : {&company, &location, &pump, &tests})
        t->open();
    add(company, {{"CompanyID", "ACME"},
                  {"Name", "Acme Fire"},
                  {"Contact Name", "Jo Smith"},
                  {"Contact Phone", "410-555-1234"},
                  {"Contact Email", "jo@acme.test"}});
    add(company, {{"CompanyID", "BETA"}});
    add(location, {{"CompanyID", "ACME"}, {"LocationID", "PLANT"}, {"Name", "Plant 2"}});
    add(location, {{"CompanyID", "BETA"}, {"LocationID", "*"}});
    add(location, {{"CompanyID", "ACME"}, {"LocationID", "GONE"}});
    for (const char* id : {"FP-1", "FP-2", "FP-3"})
        add(pump, {{"CompanyID", "ACME"},
                   {"LocationID", "PLANT"},
                   {"PumpID", id},
                   {"Pump SN", QStringLiteral("SN-%1").arg(id)},
                   {"Driver Type", "Diesel"},
                   {"Churn Pressure", 120},
                   {"100% Flow", 1000},
                   {"100% Pressure", 100},
                   {"150% Flow", 1500},
                   {"150% Pressure", 65}});
    add(pump, {{"CompanyID", "BETA"}, {"LocationID", "*"}, {"PumpID", "FP-1"}});
    // Under a location that is gone: the main window cannot reach it, so neither do we.
    add(pump, {{"CompanyID", "ACME"}, {"LocationID", "GONE"}, {"PumpID", "FP-9"}});
    struct Row {
        const char* company;
        const char* location;
        const char* pump;
        const char* test;
        QDate day;
    };
    for (const Row& r :
         {Row{"ACME", "PLANT", "FP-1", "T1", {2025, 1, 5}},
          Row{"ACME", "PLANT", "FP-1", "T3", {2025, 12, 1}},
          Row{"ACME", "PLANT", "FP-1", "T2", {2025, 12, 1}},
          Row{"ACME", "PLANT", "FP-1", "T9", {2027, 1, 1}}, Row{"ACME", "PLANT", "FP-1", "T0", {}},
          Row{"ACME", "PLANT", "FP-2", "T0", {}}, Row{"BETA", "*", "FP-1", "B1", {2024, 6, 1}},
          Row{"ACME", "GONE", "FP-9", "X1", {2026, 1, 1}}})
        add(tests, {{"CompanyID", r.company},
                    {"LocationID", r.location},
                    {"PumpID", r.pump},
                    {"TestID", r.test},
                    {"Test Date", r.day},
                    {"Flow1", 1000},
                    {"Net Pressure1", 97},
                    {"Corrected Flow1", 1000},
                    {"Corrected Net Pressure1", 97}});
    // The location goes after its pump and test were written: a server refuses rows whose
    // owner is missing, and leftovers like these come from older files.
    QVERIFY(location.locate({"CompanyID", "LocationID"}, {"ACME", "GONE"}));
    location.remove();

    QList<DuePump> pumps = readPumpsDue(tmp.db(), kToday);
    judgeVerdicts(tmp.db(), pumps);
    QStringList seen;
    for (const DuePump& p : pumps)
        seen << QStringLiteral("%1/%2/%3 %4 %5 +%6")
                    .arg(p.company, p.location, p.pumpId, p.lastTest.toString(Qt::ISODate),
                         p.lastTestId)
                    .arg(p.testsAhead);
    // The same date twice: the greater identifier. Undated and future tests are not done
    // tests; a company or location without a name shows its identifier.
    QCOMPARE(seen,
             QStringList({"Acme Fire/Plant 2/FP-1 2025-12-01 T3 +1", "Acme Fire/Plant 2/FP-2   +0",
                          "Acme Fire/Plant 2/FP-3   +0", "BETA/*/FP-1 2024-06-01 B1 +0"}));
    QCOMPARE(pumps[0].contact + pumps[0].phone + pumps[0].email,
             QStringLiteral("Jo Smith410-555-1234jo@acme.test"));
    QCOMPARE(pumps[0].serial, QStringLiteral("SN-FP-1"));
    QCOMPARE(pumps[1].verdict, QStringLiteral("Not tested"));
    // The very verdict the pump's history gives that test.
    for (const HistoryRow& h : pumpHistory(tmp.db(), "ACME", "PLANT", "FP-1"))
        if (h.testId == QLatin1String("T3"))
            QCOMPARE(pumps[0].verdict, verdictText(h.verdict));
    QVERIFY(!pumps[0].verdict.isEmpty());

    // More tests than one read takes, their verdicts varied: each pump gets its own test's.
    QList<DuePump> many;
    for (int i = 0; i < kTestsByKeyBatch + 6; ++i) {
        DuePump p = pumps[2];
        p.verdict.clear(); // as read before these tests were there
        p.lastTestId = QStringLiteral("M%1").arg(i, 3, 10, QLatin1Char('0'));
        add(tests, {{"CompanyID", "ACME"},
                    {"LocationID", "PLANT"},
                    {"PumpID", "FP-3"},
                    {"TestID", p.lastTestId},
                    {"Test Date", QDate(2020, 1, 1).addDays(i)},
                    {"Flow1", i % 3 ? 1000 : 0},
                    {"Net Pressure1", i % 3 ? 97 : 0},
                    {"Corrected Flow1", i % 3 ? 1000 : 0},
                    {"Corrected Net Pressure1", i % 3 ? 97 : 0}});
        many << p;
    }
    judgeVerdicts(tmp.db(), many);
    QHash<QString, QString> history;
    for (const HistoryRow& h : pumpHistory(tmp.db(), "ACME", "PLANT", "FP-3"))
        history[h.testId] = verdictText(h.verdict);
    QStringList judged, expected;
    for (const DuePump& p : many) {
        judged << p.verdict;
        expected << history.value(p.lastTestId);
    }
    QCOMPARE(judged, expected);
    QVERIFY(QSet<QString>(expected.begin(), expected.end()).size() > 1);
}

void TestsDueTest::schedule_data() {
    QTest::addColumn<QDate>("lastTest");
    QTest::addColumn<int>("months");
    QTest::addColumn<int>("warning");
    QTest::addColumn<QDate>("due");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("status");
    const int overdue = int(DueStatus::Overdue);
    const int soon = int(DueStatus::DueSoon);
    const int later = int(DueStatus::Later);
    QTest::newRow("due today") << QDate(2025, 12, 10) << 12 << 30 << kToday << 0 << soon;
    QTest::newRow("a day late") << QDate(2025, 12, 9) << 12 << 30 << QDate(2026, 12, 9) << -1
                                << overdue;
    QTest::newRow("last day of the window")
        << QDate(2026, 1, 9) << 12 << 30 << QDate(2027, 1, 9) << 30 << soon;
    QTest::newRow("a day beyond it")
        << QDate(2026, 1, 10) << 12 << 30 << QDate(2027, 1, 10) << 31 << later;
    QTest::newRow("one-day window")
        << QDate(2025, 12, 11) << 12 << 1 << QDate(2026, 12, 11) << 1 << soon;
    QTest::newRow("month end") << QDate(2026, 10, 31) << 1 << 30 << QDate(2026, 11, 30) << -10
                               << overdue;
    QTest::newRow("leap day") << QDate(2024, 2, 29) << 12 << 30 << QDate(2025, 2, 28) << -650
                              << overdue;
    QTest::newRow("never tested: due now")
        << QDate() << 12 << 30 << kToday << 0 << int(DueStatus::NeverTested);
    QTest::newRow("a window of 0 is one day")
        << QDate(2025, 12, 11) << 12 << 0 << QDate(2026, 12, 11) << 1 << soon;
}

void TestsDueTest::schedule() {
    QFETCH(QDate, lastTest);
    QFETCH(int, months);
    QFETCH(int, warning);
    const DuePump p = pumpDue(lastTest, {warning, months});
    QTEST(p.due, "due");
    QTEST(p.daysUntilDue, "days");
    QTEST(int(p.status), "status");
}

void TestsDueTest::statusLine() {
    auto pumps = [](int overdue, int soon, int later, int never) {
        QList<DuePump> list;
        const std::pair<int, DueStatus> counts[] = {{overdue, DueStatus::Overdue},
                                                    {soon, DueStatus::DueSoon},
                                                    {later, DueStatus::Later},
                                                    {never, DueStatus::NeverTested}};
        for (const auto& [n, status] : counts)
            for (int i = 0; i < n; ++i) {
                DuePump p;
                p.status = status;
                list << p;
            }
        return list;
    };
    const QString keys = QStringLiteral("Ctrl+D");
    QCOMPARE(
        dueStatusLine(pumps(3, 7, 5, 0), 30, keys),
        QStringLiteral("3 pumps overdue, 7 due within 30 days \u2014 Tests Due\u2026 (Ctrl+D)"));
    QCOMPARE(dueStatusLine(pumps(1, 0, 0, 2), 1, keys),
             QStringLiteral("1 pump overdue, 0 due within 1 day, 2 never tested \u2014 Tests "
                            "Due\u2026 (Ctrl+D)"));
    // Nothing overdue or coming: pumps never tested alone say nothing.
    QCOMPARE(dueStatusLine(pumps(0, 0, 4, 2), 30, keys), QString());
}

void TestsDueTest::csvQuotesEveryAwkwardField() {
    DuePump p = pumpDue(QDate(2025, 11, 1));
    p.company = QStringLiteral("Smith, \"Sons\" & Co.");
    p.location = QStringLiteral("Halle Nord\nTor 2");
    p.pumpId = QStringLiteral("01");
    p.verdict = QStringLiteral("Pass");
    p.email = QStringLiteral("müller@example.test");
    const DuePump never = pumpDue({});
    const QByteArray csv = testsDueCsv({p, never}, 30);
    const QList<QByteArray> lines = csv.split('\n');
    QCOMPARE(lines[0], QByteArray("Company,Location,Pump,Serial Number,Last Test,Last Verdict,"
                                  "Next Due,Days Until Due,Status,Contact,Phone,E-mail\r"));
    QCOMPARE(csv.mid(lines[0].size() + 1),
             QStringLiteral("\"Smith, \"\"Sons\"\" & Co.\",\"Halle Nord\nTor 2\",01,,2025-11-01,"
                            "Pass,2026-11-01,-39,Overdue,,,müller@example.test\r\n"
                            ",,,,,,2026-12-10,0,Never tested,,,\r\n")
                 .toUtf8());
}

void TestsDueTest::calendarReadByARealParser() {
    DuePump p = pumpDue(QDate(2026, 3, 15));
    p.companyId = p.company = QStringLiteral("Müller; Söhne, \\GmbH");
    p.locationId = p.location = QStringLiteral("Werk 2");
    p.pumpId = QStringLiteral("01");
    p.contact = QStringLiteral("Jürgen Weiß");
    p.phone = QStringLiteral("410-555-1234");
    p.serial = QString(80, QChar(0x00E9)); // a long line of two-octet characters
    p.verdict = QStringLiteral("Pass");
    DuePump site = pumpDue({});
    site.companyId = site.company = QStringLiteral("ABC Paint Company");
    site.locationId = site.location = QStringLiteral("*");
    site.pumpId = QStringLiteral("01");

    const QDateTime stamp(kToday, QTime(9, 30), QTimeZone::utc());
    const QByteArray ics = testsDueCalendar({p, site}, stamp);
    // Lines of 75 octets at most, ended by CR LF, never cut inside a character.
    for (const QByteArray& line : ics.split('\n')) {
        if (line.isEmpty())
            continue;
        QVERIFY2(line.endsWith('\r') && line.size() - 1 <= 75, line.constData());
        QVERIFY(QString::fromUtf8(line).toUtf8() == line);
    }
    // The same pump and due date keep their identifier from one export to the next; a new due
    // date is a new event, and a pump never tested keeps one whatever the day.
    QCOMPARE(testsDueCalendar({p}, stamp.addDays(3)).count(calendarUid(p).toUtf8()), 1);
    DuePump nextYear = p;
    nextYear.due = p.due.addYears(1);
    QVERIFY(calendarUid(nextYear) != calendarUid(p));
    DuePump neverLater = site;
    neverLater.due = kToday.addDays(5);
    QCOMPARE(calendarUid(neverLater), calendarUid(site));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("due.ics"));
    writeExportFile(path, ics);
    if (!libraryPresent()) {
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL("python3-icalendar is missing (scripts/bootstrap installs it)");
        QSKIP("python3-icalendar is not installed (scripts/bootstrap installs it)");
    }
    const QJsonArray events = parsedByLibrary(path);
    QCOMPARE(events.size(), 2);
    const QJsonObject first = events[0].toObject();
    QCOMPARE(first["summary"].toString(),
             QStringLiteral("Fire pump test due: Müller; Söhne, \\GmbH, Werk 2, Pump 01"));
    QCOMPARE(first["uid"].toString(), calendarUid(p));
    QCOMPARE(first["start"].toString(), QStringLiteral("2027-03-15"));
    QCOMPARE(first["end"].toString(), QStringLiteral("2027-03-16"));
    QCOMPARE(first["alarms"].toArray(), QJsonArray({-14}));
    const QString description = first["description"].toString();
    QVERIFY2(description.startsWith(QStringLiteral("Contact: Jürgen Weiß\nPhone: 410-555-1234\n")),
             qPrintable(description));
    QVERIFY(description.contains(QString(80, QChar(0x00E9))));
    // The company's own site is left out of the title.
    QCOMPARE(events[1].toObject()["summary"].toString(),
             QStringLiteral("Fire pump test due: ABC Paint Company, Pump 01"));
    QCOMPARE(events[1].toObject()["start"].toString(), QStringLiteral("2026-12-10"));
}

QTEST_GUILESS_MAIN(TestsDueTest)
#include "tests_due_test.moc"
