// Two copies of the program on one database: the second must refuse to start instead of
// opening a second main window over rows the first is changing, and a copy that crashed
// must not keep the data locked.
//
// The program is started as it is installed, with a home of its own (its alias registry
// and data folder follow from it) and a working folder per copy. A copy that got past the
// lock writes its preferences file into its working folder while its main window is made,
// which is how the test tells the two outcomes apart without a screen.
#include "data/Database.h"
#include "data/TablesExistCreateU.h"
#include "reliability/SampleTree.h"
#include "settings/PreferencesRecord.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

using namespace nerova;
using namespace nerova::test;

namespace {

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QTest::qWait(50);
    }
    return true;
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void secondCopyRefusesAndTheFirstGoesOn();
    void cleanup();

private:
    std::unique_ptr<QProcess> start(const QString& name);
    QString preferencesOf(const QString& name) const {
        return m_home.filePath(name + QStringLiteral("/") +
                               QString::fromLatin1(kPreferencesFileName));
    }

    QTemporaryDir m_home;
    QString m_dataDir;
    std::vector<std::unique_ptr<QProcess>> m_copies;
};

void SingleInstanceTest::initTestCase() {
    QVERIFY(QFileInfo::exists(QStringLiteral(NEROVA_EXECUTABLE)));
    // The registry and data folder where the program will look for them under this home.
    const QString config = m_home.filePath(QStringLiteral("config"));
    m_dataDir = m_home.filePath(QStringLiteral("share/nerova2002/data"));
    Database db(config + QStringLiteral("/nerova2002/aliases.ini"), m_dataDir);
    QCOMPARE(QDir::cleanPath(db.databaseDirectory()), QDir::cleanPath(m_dataDir));
    QString failure;
    QVERIFY(TablesCreate(db, silentProgress(), [&](const QString& e) { failure = e; }));
}

void SingleInstanceTest::cleanup() {
    for (auto& p : m_copies) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(10000);
        }
    }
    m_copies.clear();
}

std::unique_ptr<QProcess> SingleInstanceTest::start(const QString& name) {
    const QString work = m_home.filePath(name);
    QDir().mkpath(work);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("share")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(env);
    p->setWorkingDirectory(work);
    p->setProcessChannelMode(QProcess::ForwardedChannels);
    p->start(QStringLiteral(NEROVA_EXECUTABLE), {});
    p->waitForStarted(30000);
    return p;
}

void SingleInstanceTest::secondCopyRefusesAndTheFirstGoesOn() {
    const QString lock = QDir(m_dataDir).filePath(QStringLiteral("NRVA2002.lck"));
    m_copies.push_back(start(QStringLiteral("first")));
    QProcess& first = *m_copies.back();
    QVERIFY2(
        waitFor([&] { return QFileInfo::exists(preferencesOf(QStringLiteral("first"))); }, 60000),
        "the first copy never reached its main window");
    QVERIFY(QFileInfo::exists(lock));

    m_copies.push_back(start(QStringLiteral("second")));
    QProcess& second = *m_copies.back();
    const bool ended = second.waitForFinished(20000);
    // Whatever else, the second copy never got as far as a main window of its own.
    QVERIFY2(!QFileInfo::exists(preferencesOf(QStringLiteral("second"))),
             "the second copy opened the data although the first holds it");
    if (!ended) {
        // The refusal is a message box that waits for its OK; without a screen no one
        // presses it. That the copy stopped short of its main window is what counts here.
        qInfo("the second copy waits at its refusal box; ending it");
        second.kill();
        second.waitForFinished(10000);
    } else {
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QVERIFY(second.exitCode() != 0);
    }
    QCOMPARE(first.state(), QProcess::Running);
    QVERIFY(QFileInfo::exists(lock));

    // A copy that dies without closing leaves no lock that keeps the next one out.
    first.kill();
    QVERIFY(first.waitForFinished(10000));
    m_copies.push_back(start(QStringLiteral("third")));
    QVERIFY2(
        waitFor([&] { return QFileInfo::exists(preferencesOf(QStringLiteral("third"))); }, 60000),
        "after a crash of the first copy the next one was still refused");
    QCOMPARE(m_copies.back()->state(), QProcess::Running);
}

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
