#include "data/Database.h"
#include "data/Global.h"
#include "data/Table.h"
#include "eval/TestInitialization.h"
#include "prefs/PreferencesRecord.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace nerova;

class InitializeTestTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void calibrationDate_data();
    void calibrationDate();
    void fillsNewTestRow();
    void emptyPreferencesLeaveDatesBlank();
    void cleanup() { setTodayForTesting({}); }

private:
    // Runs InitializeTest on a new test row, checks the row, posts it and checks it again as
    // stored. expected maps the columns taken from the preferences to their values.
    void initializeAndCheck(const PreferencesRecord& prefs, const QVariantMap& expected);
};

void InitializeTestTest::calibrationDate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("2001") << "12/15/01" << QDate(2001, 12, 15);
    QTest::newRow("1999") << "01/15/99" << QDate(1999, 1, 15);
    QTest::newRow("window end") << "06/01/49" << QDate(2049, 6, 1);
    QTest::newRow("window start") << "06/01/50" << QDate(1950, 6, 1);
    QTest::newRow("blanks among digits") << " 1/ 5/02" << QDate(2002, 1, 5);
    QTest::newRow("leap day") << "02/29/00" << QDate(2000, 2, 29);
    QTest::newRow("no leap day") << "02/29/01" << QDate();
    QTest::newRow("month 13") << "13/01/01" << QDate();
    QTest::newRow("April 31") << "04/31/01" << QDate();
    QTest::newRow("only blanks") << "  /  /  " << QDate();
    QTest::newRow("letters") << "ab/15/01" << QDate();
    QTest::newRow("7 characters") << "1/15/02" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void InitializeTestTest::calibrationDate() {
    QFETCH(QString, text);
    QFETCH(QDate, expected);
    QCOMPARE(readCalibrationDate(text), expected);
}

void InitializeTestTest::initializeAndCheck(const PreferencesRecord& prefs,
                                            const QVariantMap& expected) {
    const QDate day(2002, 3, 14);
    setTodayForTesting([day] { return day; });

    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    Database db(tmp.filePath(QStringLiteral("aliases.ini")), tmp.filePath(QStringLiteral("data")));
    db.createTable(TableId::Test);
    Table test(db, TableId::Test);
    test.open();
    test.insert();
    const QVariantMap keys{
        {"CompanyID", "ACME"}, {"LocationID", "PLANT 1"}, {"PumpID", "FP-1"}, {"TestID", "2002-1"}};
    for (auto it = keys.begin(); it != keys.end(); ++it)
        test.setValue(it.key(), it.value());
    test.setValue(QStringLiteral("Velocity Pressure"), false);

    InitializeTest(test, prefs);

    // Every numeric column of a flow point ends in its number, or number and phase.
    static const QRegularExpression pointColumn(QStringLiteral("[1-8](-[1-3])?$"));
    for (const char* stage : {"inserted", "posted"}) {
        int zeros = 0;
        for (const ColumnDef& column : test.def().columns) {
            const QString name = QString::fromLatin1(column.name);
            const QVariant value = test.value(name);
            if (column.type == ColumnType::Number && pointColumn.match(name).hasMatch()) {
                QVERIFY2(!value.isNull() && value.toDouble() == 0.0, qPrintable(name));
                ++zeros;
            } else if (keys.contains(name)) {
                QCOMPARE(value.toString(), keys.value(name).toString());
            } else if (name == u"Velocity Pressure") {
                QCOMPARE(test.asBool(name), false);
            } else if (name == u"Test Date") {
                QCOMPARE(test.asDate(name), day);
            } else if (expected.contains(name)) {
                const QVariant want = expected.value(name);
                if (want.typeId() == QMetaType::QString)
                    QCOMPARE(test.asString(name), want.toString());
                else
                    QCOMPARE(value, want);
            } else {
                QVERIFY2(value.isNull(),
                         qPrintable(QStringLiteral("%1 (%2) is %3")
                                        .arg(name, QString::fromLatin1(stage), value.toString())));
            }
        }
        QCOMPARE(zeros, 112);
        if (test.state() == TableState::Insert)
            test.post();
    }
}

void InitializeTestTest::fillsNewTestRow() {
    PreferencesRecord prefs;
    QVariantMap expected;
    for (int n = 1; n <= 4; ++n) {
        prefs.setTester(n, QStringLiteral("Tester Name %1").arg(n));
        prefs.setTesterLicense(n, QStringLiteral("LIC-%1").arg(n));
        prefs.setTesterState(n, QStringLiteral("T%1").arg(n));
        expected.insert(QStringLiteral("Tester%1").arg(n), QStringLiteral("Tester Name %1").arg(n));
        expected.insert(QStringLiteral("Tester%1 License").arg(n), QStringLiteral("LIC-%1").arg(n));
        expected.insert(QStringLiteral("Tester%1 State").arg(n), QStringLiteral("T%1").arg(n));
    }
    prefs.setPressureGaugeType(QStringLiteral("Ashcroft 1082"));
    prefs.setVoltMeterType(QStringLiteral("Fluke 87"));
    prefs.setAmpProbeType(QStringLiteral("Fluke i410"));
    prefs.setTachometerType(QStringLiteral("Monarch PLT200"));
    prefs.setPressureGaugeCalDate(QStringLiteral("12/15/01"));
    prefs.setVoltMeterCalDate(QStringLiteral("01/15/99"));
    prefs.setAmpProbeCalDate(QStringLiteral("04/31/01"));
    prefs.setTachometerCalDate(QStringLiteral("1/15/02"));
    expected.insert(QStringLiteral("Pressure Gauge Type"), QStringLiteral("Ashcroft 1082"));
    expected.insert(QStringLiteral("Volt Meter Type"), QStringLiteral("Fluke 87"));
    expected.insert(QStringLiteral("Amp Probe Type"), QStringLiteral("Fluke i410"));
    expected.insert(QStringLiteral("Tachometer Type"), QStringLiteral("Monarch PLT200"));
    expected.insert(QStringLiteral("Pressure Gauge Cal Date"), QDate(2001, 12, 15));
    expected.insert(QStringLiteral("Volt Meter Cal Date"), QDate(1999, 1, 15));
    // Unreadable dates stay blank (they fall through to the null check).
    initializeAndCheck(prefs, expected);
}

void InitializeTestTest::emptyPreferencesLeaveDatesBlank() {
    // A new preferences file: texts empty, and no calibration date is invented.
    PreferencesRecord prefs;
    QVariantMap expected;
    for (int n = 1; n <= 4; ++n)
        for (const char* stem : {"Tester%1", "Tester%1 License", "Tester%1 State"})
            expected.insert(QString::fromLatin1(stem).arg(n), QString());
    for (const char* column :
         {"Pressure Gauge Type", "Volt Meter Type", "Amp Probe Type", "Tachometer Type"})
        expected.insert(QString::fromLatin1(column), QString());
    initializeAndCheck(prefs, expected);
}

QTEST_GUILESS_MAIN(InitializeTestTest)
#include "initialize_test.moc"
