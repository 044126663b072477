#include "data/EngineError.h"
#include "prefs/PreferencesRecord.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace nerova;

namespace {

const QList<int> kDefaultOnes = {328, 329, 330, 345, 346, 347, 348, 983,
                                 984, 985, 986, 987, 988, 989, 990, 991};

QByteArray pattern(int size) {
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 7 + 3) % 251 + 2); // never 0 or 1
    return data;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

void makeReadOnly(const QString& path) {
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                            QFileDevice::ReadOther));
}

} // namespace

class PreferencesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("Nrva2002.ini"));
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::remove(m_path);
    }

    void missingFileIsCreatedWithDefaults() {
        PreferencesRecord record;
        record.setBytes(pattern(PreferencesRecord::kSize)); // load must start from zero
        LoadPreferences(record, m_dir.path());

        const QByteArray file = readAll(m_path);
        QCOMPARE(file.size(), PreferencesRecord::kSize);
        QCOMPARE(file, record.bytes());
        for (int i = 0; i < PreferencesRecord::kSize; ++i)
            QCOMPARE(int(record.byteAt(i)), kDefaultOnes.contains(i) ? 1 : 0);
        QCOMPARE(record.curvePrintQuality(), 0);
        QVERIFY(record.printReportPageNumber());
        QVERIFY(!record.plotFactoryCurve());
    }

    void shortFileIsRewrittenKeepingWhatWasRead() {
        const QByteArray old = pattern(500);
        writeAll(m_path, old);
        PreferencesRecord record;
        LoadPreferences(record, m_dir.path());

        const QByteArray file = readAll(m_path);
        QCOMPARE(file.size(), PreferencesRecord::kSize);
        QCOMPARE(file, record.bytes());
        // The default fields are set over what was read; every other byte is the old
        // file's up to 500 and zero after it.
        for (int i = 0; i < PreferencesRecord::kSize; ++i) {
            const int expected = kDefaultOnes.contains(i) ? 1
                                 : (i == 344)             ? 0
                                 : i < 500                ? quint8(old.at(i))
                                                          : 0;
            QCOMPARE(int(record.byteAt(i)), expected);
        }
    }

    void longFileIsReadUnchangedAndKeepsItsTailOnSave() {
        const QByteArray old = pattern(1000);
        writeAll(m_path, old);
        PreferencesRecord record;
        LoadPreferences(record, m_dir.path());
        QCOMPARE(record.bytes(), old.left(PreferencesRecord::kSize));
        QCOMPARE(readAll(m_path), old);

        record.setCompanyInfo(1, QStringLiteral("Acme Fire Testing"));
        record.setCurvePrintQuality(3);
        SavePreferences(record, m_dir.path());
        const QByteArray file = readAll(m_path);
        QCOMPARE(file.size(), 1000);
        QCOMPARE(file.left(PreferencesRecord::kSize), record.bytes());
        QCOMPARE(file.mid(PreferencesRecord::kSize), old.mid(PreferencesRecord::kSize));
    }

    void readOnlyFileAtStartupLeavesZeroRecordAndReportsError() {
        const QByteArray old = pattern(PreferencesRecord::kSize);
        writeAll(m_path, old);
        makeReadOnly(m_path);

        PreferencesRecord record;
        try {
            LoadPreferences(record, m_dir.path());
            QFAIL("a read-only preferences file must not load silently");
        } catch (const EngineError& e) {
            QCOMPARE(e.text(),
                     QStringLiteral("Cannot create file %1.\nPermission denied").arg(m_path));
        }
        QCOMPARE(record.bytes(), QByteArray(PreferencesRecord::kSize, '\0'));
        QCOMPARE(readAll(m_path), old);
    }

    void failedSaveKeepsTheOldFile() {
        PreferencesRecord record;
        LoadPreferences(record, m_dir.path());
        const QByteArray old = readAll(m_path);
        makeReadOnly(m_path);

        record.setTester(1, QStringLiteral("J. Smith"));
        QVERIFY_THROWS_EXCEPTION(EngineError, SavePreferences(record, m_dir.path()));
        QCOMPARE(readAll(m_path), old);
        QCOMPARE(record.tester(1), QStringLiteral("J. Smith"));

        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(QFile::remove(m_path));
        QVERIFY_THROWS_EXCEPTION(EngineError, SavePreferences(record, m_dir.path()));
        QVERIFY(!QFile::exists(m_path)); // saving never creates the file
    }

    void textsStayInsideTheirFields() {
        PreferencesRecord record;
        record.setBytes(pattern(PreferencesRecord::kSize));

        // A damaged length byte reads only the field's own characters.
        record.data()[0] = 200;
        QCOMPARE(record.companyInfo(1), QString::fromLatin1(pattern(41).mid(1)));
        record.data()[831] = 9; // Tester1State, 2 characters
        QCOMPARE(record.testerState(1).size(), 2);

        // Too long: first N kept, nothing written beyond the field.
        const QByteArray next = record.bytes().mid(41, 41);
        record.setCompanyInfo(1, QString(80, QLatin1Char('x')));
        QCOMPARE(int(record.byteAt(0)), 40);
        QCOMPARE(record.companyInfo(1), QString(40, QLatin1Char('x')));
        QCOMPARE(record.bytes().mid(41, 41), next);

        // Shorter text: the old bytes after it stay as they were.
        record.setCompanyInfo(1, QStringLiteral("ab"));
        QCOMPARE(int(record.byteAt(0)), 2);
        QCOMPARE(record.bytes().mid(3, 38), QByteArray(38, 'x'));
        QCOMPARE(record.companyInfo(1), QStringLiteral("ab"));

        // Latin-1, one byte a character.
        record.setLegend(5, QStringLiteral("Bomba n\u00BA 2"));
        QCOMPARE(record.bytes().mid(537, 10), QByteArray("Bomba n\xBA 2"));
    }

    void fieldsSitAtTheirOffsets() {
        PreferencesRecord r;
        r.setCompanyInfo(8, QStringLiteral("C8"));
        r.setCurvePrintQuality(0x01020304);
        r.setDefaultNozzleSize(1.75f);
        r.setColor(1, 0x00A4A0A0);
        r.setColor(5, 0x00F0CAA6);
        r.setLegend(1, QStringLiteral("L1"));
        r.setTester(4, QStringLiteral("T4"));
        r.setTesterLicense(1, QStringLiteral("LIC"));
        r.setTesterState(4, QStringLiteral("TX"));
        r.setPressureGaugeType(QStringLiteral("PG"));
        r.setTachometerType(QStringLiteral("TA"));
        r.setPressureGaugeCalDate(QStringLiteral("01/02/03"));
        r.setTachometerCalDate(QStringLiteral("12/31/99"));
        r.setIncludeCurve(4, true);
        r.setPlotFactoryCurve(true);
        r.setUseTestTime(true);
        const QByteArray b = r.bytes();

        QCOMPARE(b.mid(287, 3), QByteArray("\x02"
                                           "C8"));
        QCOMPARE(b.mid(332, 4), QByteArray("\x04\x03\x02\x01"));
        QCOMPARE(b.mid(336, 4), QByteArray("\x00\x00\xE0\x3F", 4)); // 1.75f little-endian
        QCOMPARE(b.mid(352, 4), QByteArray("\xA0\xA0\xA4\x00", 4));
        QCOMPARE(b.mid(368, 4), QByteArray("\xA6\xCA\xF0\x00", 4));
        QCOMPARE(b.mid(372, 3), QByteArray("\x02"
                                           "L1"));
        QCOMPARE(b.mid(676, 3), QByteArray("\x02"
                                           "T4"));
        QCOMPARE(b.mid(707, 4), QByteArray("\x03"
                                           "LIC"));
        QCOMPARE(b.mid(840, 3), QByteArray("\x02"
                                           "TX"));
        QCOMPARE(b.mid(843, 3), QByteArray("\x02"
                                           "PG"));
        QCOMPARE(b.mid(921, 3), QByteArray("\x02"
                                           "TA"));
        QCOMPARE(b.mid(947, 9), QByteArray("\x08"
                                           "01/02/03"));
        QCOMPARE(b.mid(974, 9), QByteArray("\x08"
                                           "12/31/99"));
        QCOMPARE(int(r.byteAt(579)), 1);
        QCOMPARE(int(r.byteAt(582)), 1);
        QCOMPARE(int(r.byteAt(344)), 1);
        QCOMPARE(r.defaultNozzleSize(), 1.75f);

        // Any non-zero byte reads as true.
        r.data()[991] = 0x80;
        QVERIFY(r.printReportPageNumber());
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, r.includeCurve(1));
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(PreferencesTest)
#include "preferences_test.moc"
