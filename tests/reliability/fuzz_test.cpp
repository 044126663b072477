// Hostile input, with fixed seeds and bounded rounds: preferences files of random bytes and
// sizes, texts of random lengths stored into the record, and backup archives that are
// random bytes, damaged copies of a real backup, or carry entry names that point outside
// the data folder. Nothing may crash, nothing may be written outside the data folder, the
// tables must stay readable, and every refusal must be shown.
#include "backup/BackupFrm.h"
#include "backup/RestoreFrm.h"
#include "backup/ZipArchiver.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "data/TableChain.h"
#include "data/TablesExistCreate.h"
#include "prefs/PreferencesRecord.h"
#include "reliability/SampleTree.h"
#include "support/Child.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <bit>
#include <functional>
#include <memory>

using namespace nerova;
using namespace nerova::test;

namespace {

constexpr int kPreferenceFiles = 400;
constexpr int kStoredTexts = 2000;
constexpr int kRandomArchives = 80;
constexpr int kDamagedArchives = 220;

QByteArray randomBytes(QRandomGenerator& rng, int size) {
    QByteArray out(size, Qt::Uninitialized);
    for (char& c : out)
        c = static_cast<char>(rng.bounded(256));
    return out;
}

QString randomText(QRandomGenerator& rng) {
    const int length = rng.bounded(3) == 0 ? rng.bounded(300) : rng.bounded(45);
    QString s;
    for (int i = 0; i < length; ++i) {
        const int pick = rng.bounded(10);
        s += pick < 7 ? QChar(32 + rng.bounded(95))
                      : QChar(static_cast<char16_t>(pick < 9 ? 128 + rng.bounded(128)
                                                             : 256 + rng.bounded(0xD000)));
    }
    return s;
}

QString bitsOf(float f) {
    return QString::number(std::bit_cast<quint32>(f), 16);
}

// Every value the record's readers give, by reader name.
QMap<QString, QString> readAllFields(const PreferencesRecord& r) {
    QMap<QString, QString> m;
    const auto b = [](bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); };
    for (int n = 1; n <= 8; ++n)
        m[QStringLiteral("companyInfo%1").arg(n)] = r.companyInfo(n);
    for (int n = 1; n <= 4; ++n) {
        m[QStringLiteral("corrected%1").arg(n)] = b(r.corrected(n));
        m[QStringLiteral("tester%1").arg(n)] = r.tester(n);
        m[QStringLiteral("testerLicense%1").arg(n)] = r.testerLicense(n);
        m[QStringLiteral("testerState%1").arg(n)] = r.testerState(n);
    }
    for (int n = 1; n <= 5; ++n) {
        m[QStringLiteral("color%1").arg(n)] = QString::number(r.color(n));
        m[QStringLiteral("legend%1").arg(n)] = r.legend(n);
    }
    for (int n = 2; n <= 4; ++n)
        m[QStringLiteral("includeCurve%1").arg(n)] = b(r.includeCurve(n));
    m[QStringLiteral("flags")] =
        b(r.printGridLines()) + b(r.curvedLines()) + b(r.exponentialXAxis()) + b(r.useTestTime()) +
        b(r.plotRatingPoints()) + b(r.connectRatingPoints()) + b(r.plotFactoryCurve()) +
        b(r.printSummaryCompanyID()) + b(r.printSummaryLocationID()) + b(r.printSummaryPumpID()) +
        b(r.printSummaryTestID()) + b(r.printDetailCompanyID()) + b(r.printDetailLocationID()) +
        b(r.printDetailPumpID()) + b(r.printDetailTestID()) + b(r.printReportPageNumber());
    m[QStringLiteral("numbers")] =
        QStringLiteral("%1 %2 %3")
            .arg(r.curvePrintQuality())
            .arg(bitsOf(r.defaultNozzleSize()), bitsOf(r.defaultNozzleCoefficient()));
    m[QStringLiteral("pressureGaugeType")] = r.pressureGaugeType();
    m[QStringLiteral("voltMeterType")] = r.voltMeterType();
    m[QStringLiteral("ampProbeType")] = r.ampProbeType();
    m[QStringLiteral("tachometerType")] = r.tachometerType();
    m[QStringLiteral("pressureGaugeCalDate")] = r.pressureGaugeCalDate();
    m[QStringLiteral("voltMeterCalDate")] = r.voltMeterCalDate();
    m[QStringLiteral("ampProbeCalDate")] = r.ampProbeCalDate();
    m[QStringLiteral("tachometerCalDate")] = r.tachometerCalDate();
    return m;
}

struct TextField {
    QString name;
    int maxLength;
    std::function<void(PreferencesRecord&, const QString&)> set;
};

QList<TextField> textFields() {
    QList<TextField> out;
    using R = PreferencesRecord;
    for (int n = 1; n <= 8; ++n)
        out.append({QStringLiteral("companyInfo%1").arg(n), R::kCompanyInfoLength,
                    [n](R& r, const QString& t) { r.setCompanyInfo(n, t); }});
    for (int n = 1; n <= 5; ++n)
        out.append({QStringLiteral("legend%1").arg(n), R::kLegendLength,
                    [n](R& r, const QString& t) { r.setLegend(n, t); }});
    for (int n = 1; n <= 4; ++n) {
        out.append({QStringLiteral("tester%1").arg(n), R::kTesterLength,
                    [n](R& r, const QString& t) { r.setTester(n, t); }});
        out.append({QStringLiteral("testerLicense%1").arg(n), R::kTesterLicenseLength,
                    [n](R& r, const QString& t) { r.setTesterLicense(n, t); }});
        out.append({QStringLiteral("testerState%1").arg(n), R::kTesterStateLength,
                    [n](R& r, const QString& t) { r.setTesterState(n, t); }});
    }
    out.append({QStringLiteral("pressureGaugeType"), R::kInstrumentTypeLength,
                [](R& r, const QString& t) { r.setPressureGaugeType(t); }});
    out.append({QStringLiteral("tachometerType"), R::kInstrumentTypeLength,
                [](R& r, const QString& t) { r.setTachometerType(t); }});
    out.append({QStringLiteral("voltMeterCalDate"), R::kCalDateLength,
                [](R& r, const QString& t) { r.setVoltMeterCalDate(t); }});
    out.append({QStringLiteral("tachometerCalDate"), R::kCalDateLength,
                [](R& r, const QString& t) { r.setTachometerCalDate(t); }});
    return out;
}

} // namespace

class FuzzTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void preferencesFilesOfRandomBytes();
    void storedTextsStayInsideTheirFields();
    void restoreOfHostileArchives();
};

void FuzzTest::preferencesFilesOfRandomBytes() {
    QRandomGenerator rng(991);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(kPreferencesFileName));
    const QList<int> edges{0, 1, 991, 992, 993, 4096};
    PreferencesRecord defaults;
    defaults.applyDefaults();
    for (int i = 0; i < kPreferenceFiles; ++i) {
        const int size = i < edges.size() ? edges[i] : rng.bounded(2 * PreferencesRecord::kSize);
        const QByteArray content = randomBytes(rng, size);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(f.write(content), qint64(size));
        }
        auto record = std::make_unique<PreferencesRecord>(); // on the heap: overreads show
        try {
            LoadPreferences(*record, dir.path());
        } catch (const EngineError& e) {
            QFAIL(qPrintable(QStringLiteral("size %1: %2").arg(size).arg(e.text())));
        }
        if (size >= PreferencesRecord::kSize) {
            QCOMPARE(record->bytes(), content.left(PreferencesRecord::kSize));
        } else {
            // A short file is replaced by a record of defaults over what was read.
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.size(), qint64(PreferencesRecord::kSize));
            QCOMPARE(f.readAll(), record->bytes());
        }
        // Whatever a length byte claims, a text never reaches past its field.
        const QMap<QString, QString> fields = readAllFields(*record);
        for (const TextField& t : textFields())
            QVERIFY2(fields.value(t.name).size() <= t.maxLength, qPrintable(t.name));
        const QByteArray bytes = record->bytes();
        const auto expectText = [&](int offset, int max) {
            const int length = std::min<int>(static_cast<quint8>(bytes[offset]), max);
            return QString::fromLatin1(bytes.mid(offset + 1, length));
        };
        QCOMPARE(record->pressureGaugeType(), expectText(843, 25));
        QCOMPARE(record->tachometerType(), expectText(921, 25));
        QCOMPARE(record->tachometerCalDate(), expectText(974, 8));

        // A save writes the record back and keeps a longer file's tail.
        SavePreferences(*record, dir.path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray saved = f.readAll();
        QCOMPARE(saved.left(PreferencesRecord::kSize), record->bytes());
        if (size > PreferencesRecord::kSize)
            QCOMPARE(saved.mid(PreferencesRecord::kSize), content.mid(PreferencesRecord::kSize));
    }
    // Numbers outside a numbered reader's range are refused, never read.
    PreferencesRecord r;
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, r.companyInfo(9));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, r.legend(0));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, r.includeCurve(1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, r.setTesterState(5, QStringLiteral("NY")));
}

void FuzzTest::storedTextsStayInsideTheirFields() {
    QRandomGenerator rng(40);
    auto record = std::make_unique<PreferencesRecord>();
    record->setBytes(randomBytes(rng, PreferencesRecord::kSize));
    const QList<TextField> fields = textFields();
    for (int i = 0; i < kStoredTexts; ++i) {
        const TextField& field = fields[rng.bounded(static_cast<int>(fields.size()))];
        const QString text = randomText(rng);
        QMap<QString, QString> before = readAllFields(*record);
        field.set(*record, text);
        QMap<QString, QString> after = readAllFields(*record);
        const QString stored = after.take(field.name);
        before.remove(field.name);
        QVERIFY2(after == before, qPrintable(QStringLiteral("%1 with %2 characters changed another "
                                                            "field")
                                                 .arg(field.name)
                                                 .arg(text.size())));
        // The field keeps the first N characters (non-Latin-1 ones as '?').
        QCOMPARE(stored, QString::fromLatin1(text.left(field.maxLength).toLatin1()));
    }
}

void FuzzTest::restoreOfHostileArchives() {
    QRandomGenerator rng(7);
    TempDatabase temp(true);
    Database& db = temp.db();
    const QString dataDir = temp.dataDir();
    QTemporaryDir inputs;

    // A real backup of the demonstration tables, the seed of the damaged copies.
    QString archive;
    {
        ScriptedPrompt prompt;
        prompt.folders.enqueue(inputs.path());
        prompt.dialogs.enqueue([](QDialog& d) {
            auto& frm = static_cast<TBackupFrm&>(d);
            child<QLineEdit>(frm, "FileNameField")->setText(QStringLiteral("Seed"));
            frm.ChangeButtonClick();
            frm.BackupButtonClick();
            return frm.result();
        });
        TBackupFrm backup(dataDir);
        QCOMPARE(backup.ShowBackupWindow(), int(QDialog::Accepted));
        archive = backup.archivePath();
    }
    QFile seedFile(archive);
    QVERIFY(seedFile.open(QIODevice::ReadOnly));
    const QByteArray seed = seedFile.readAll();
    seedFile.close();
    QVERIFY(seed.size() > 100);

    const QString pristine = inputs.filePath(QStringLiteral("pristine"));
    QVERIFY(QDir().mkpath(pristine));
    copyFolderFiles(dataDir, pristine);

    // Archives whose entry names point elsewhere.
    QList<QByteArray> crafted;
    {
        const QString file = db.tableFilePath(TableId::Company);
        const QStringList names{QStringLiteral("../NRVA2002Company.db"),
                                QStringLiteral("../../NRVA2002Company.db"),
                                QDir::tempPath() + QStringLiteral("/NRVA2002Company.db"),
                                QStringLiteral("sub/../../NRVA2002Company.db"),
                                QStringLiteral("C:\\NRVA2002Company.db"),
                                QStringLiteral("NRVA2002Company.db/"),
                                QStringLiteral("NRVA2002Company.")};
        for (const QString& name : names) {
            const QString path = inputs.filePath(QStringLiteral("NRVA2002DataBackupCrafted.zip"));
            QFile::remove(path);
            ZipArchiver zip;
            QVERIFY(zip.create(path));
            QVERIFY(zip.addFile(file, name));
            QVERIFY(zip.close());
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            crafted << f.readAll();
        }
    }

    const QString root = QFileInfo(temp.registryPath()).absolutePath();
    const QStringList tempBefore =
        QDir(QDir::tempPath()).entryList({QStringLiteral("NRVA2002*")}, QDir::AllEntries);
    const QString input = inputs.filePath(QStringLiteral("NRVA2002DataBackupFuzz.zip"));
    int restoredWhole = 0;
    static const QRegularExpression refusal(
        QStringLiteral("^(The backup file cannot be read, nothing was restored\\.\n.+|"
                       "Nothing was restored: .+|"
                       "The restore finished, but [1-9][0-9]* file\\(s\\) could not be "
                       "restored; their previous files were kept\\..*)$"),
        QRegularExpression::DotMatchesEverythingOption);
    const int rounds = static_cast<int>(crafted.size()) + kRandomArchives + kDamagedArchives;
    for (int i = 0; i < rounds; ++i) {
        QByteArray bytes;
        if (i < crafted.size()) {
            bytes = crafted[i];
        } else if (i < crafted.size() + kRandomArchives) {
            bytes = randomBytes(rng, rng.bounded(4096));
            if (rng.bounded(2) == 0)
                bytes.replace(0, std::min<qsizetype>(4, bytes.size()), "PK\x03\x04");
        } else {
            bytes = seed;
            switch (rng.bounded(4)) {
            case 0: // a few bytes changed anywhere
                for (int n = 1 + rng.bounded(8); n > 0; --n)
                    bytes[rng.bounded(static_cast<int>(bytes.size()))] =
                        static_cast<char>(rng.bounded(256));
                break;
            case 1: // cut short
                bytes.truncate(rng.bounded(static_cast<int>(bytes.size())));
                break;
            case 2: // the central directory (the tail) damaged
                for (int n = 1 + rng.bounded(6); n > 0; --n)
                    bytes[bytes.size() - 1 - rng.bounded(std::min<int>(200, bytes.size()))] =
                        static_cast<char>(rng.bounded(256));
                break;
            default: // bytes inserted
                bytes.insert(rng.bounded(static_cast<int>(bytes.size())),
                             randomBytes(rng, 1 + rng.bounded(64)));
                break;
            }
        }
        {
            QFile f(input);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        }
        QDir data(dataDir);
        for (const QString& name : data.entryList(QDir::Files | QDir::Hidden))
            QFile::remove(data.filePath(name));
        copyFolderFiles(pristine, dataDir);
        const QStringList outsideBefore =
            fileTree(root).filter(QRegularExpression(QStringLiteral("^(?!data/)")));

        ScriptedPrompt prompt;
        prompt.files.enqueue(input);
        prompt.inputs.enqueue(QStringLiteral("YES"));
        // One error box per entry that fails, then the closing box: every one has only OK.
        for (int n = 0; n < 16; ++n)
            prompt.buttons.enqueue(Prompt::Button::Ok);
        TRestoreFrm frm(dataDir);
        frm.RunRestore();
        const QString round = QStringLiteral("round %1: ").arg(i);
        QVERIFY2(!prompt.messages.isEmpty(),
                 qPrintable(round + "the restore ended without a word"));
        // The restore either says it took every file, or it says what it refused.
        const QString last = prompt.lastText();
        if (last.startsWith(QLatin1String("All files were restored successfully."))) {
            ++restoredWhole;
        } else {
            QVERIFY2(refusal.match(last).hasMatch(), qPrintable(round + last));
            for (const QString& text : prompt.texts())
                QVERIFY2(!text.trimmed().isEmpty() &&
                             !text.contains(QLatin1String("Unknown error")),
                         qPrintable(round + prompt.texts().join(QLatin1Char('/'))));
        }

        QCOMPARE(fileTree(root).filter(QRegularExpression(QStringLiteral("^(?!data/)"))),
                 outsideBefore);
        QVERIFY2(QDir(dataDir)
                     .entryList({QStringLiteral(".NRVA2002restore-*")}, QDir::Files | QDir::Hidden)
                     .isEmpty(),
                 "a temporary file was left behind");
        // Whether the archive was taken whole, in part or refused, every table file holds
        // either its old rows or checked rows from the archive: the program must start.
        QVERIFY2(TablesExist(db, silentProgress()), qPrintable(round + "a table file is missing"));
        try {
            TableChain chain(db);
            chain.open(TableId::Flow);
            const QStringList damaged = integrityProblems(db);
            QVERIFY2(damaged.isEmpty(), qPrintable(round + damaged.join(QLatin1Char('/'))));
            dumpAllRows(db);
            chain.close();
        } catch (const EngineError& e) {
            QFAIL(qPrintable(round + "the tables do not open: " + e.text()));
        }
    }
    QCOMPARE(QDir(QDir::tempPath()).entryList({QStringLiteral("NRVA2002*")}, QDir::AllEntries),
             tempBefore);
    qInfo("%d archives, %d restored whole", rounds, restoredWhole);
}

QTEST_MAIN(FuzzTest)
#include "fuzz_test.moc"
