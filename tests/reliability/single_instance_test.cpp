// Two copies of the program on one database: the second must refuse to start instead of
// opening a second main window over rows the first is changing, and a copy that crashed
// must not keep the data locked.
//
// The program is started as it is installed, with a home of its own (its alias registry
// and data folder follow from it) and a working folder per copy. A copy that got past the
// lock writes its preferences file into its working folder while its main window is made,
// which is how the test tells the two outcomes apart without a screen. Where a virtual X
// screen (Xvfb) and xdotool are at hand, the second copy runs on that screen and the test
// presses Enter on its refusal box, after which the copy must end with a non-zero code.
#include "data/Database.h"
#include "data/TablesExistCreateU.h"
#include "reliability/SampleTree.h"
#include "settings/PreferencesRecord.h"

#include <QCoreApplication>
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
    void cleanupTestCase();

private:
    // display: an X display to show the copy on; empty for no screen at all.
    std::unique_ptr<QProcess> start(const QString& name, const QString& display = {});
    bool startScreen();
    QString xdotool(const QStringList& args) const;
    QString preferencesOf(const QString& name) const {
        return m_home.filePath(name + QStringLiteral("/") +
                               QString::fromLatin1(kPreferencesFileName));
    }

    QTemporaryDir m_home;
    QProcess m_screen;
    QString m_display;
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

void SingleInstanceTest::cleanupTestCase() {
    if (m_screen.state() != QProcess::NotRunning) {
        m_screen.terminate();
        m_screen.waitForFinished(10000);
    }
}

bool SingleInstanceTest::startScreen() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        return false;
    int n = 70 + static_cast<int>(QCoreApplication::applicationPid() % 100);
    while (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) ||
           QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
        ++n;
    m_display = QStringLiteral(":%1").arg(n);
    m_screen.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_screen.start(xvfb, {m_display, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
    return m_screen.waitForStarted(10000) &&
           waitFor([&] { return QFileInfo::exists(socket); }, 20000);
}

QString SingleInstanceTest::xdotool(const QStringList& args) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(20000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

std::unique_ptr<QProcess> SingleInstanceTest::start(const QString& name, const QString& display) {
    const QString work = m_home.filePath(name);
    QDir().mkpath(work);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("share")));
    if (display.isEmpty()) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    } else {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), display);
    }
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

    const bool screen = startScreen();
    m_copies.push_back(start(QStringLiteral("second"), screen ? m_display : QString()));
    QProcess& second = *m_copies.back();
    if (screen) {
        // The refusal box, found by the copy's process id; Enter answers its OK.
        const QString pid = QString::number(second.processId());
        QString window;
        QVERIFY2(waitFor(
                     [&] {
                         window = xdotool({QStringLiteral("search"), QStringLiteral("--pid"), pid})
                                      .section(QLatin1Char('\n'), 0, 0);
                         return !window.isEmpty() || second.state() == QProcess::NotRunning;
                     },
                     60000),
                 "the second copy showed no window");
        if (!window.isEmpty()) {
            QCOMPARE(xdotool({QStringLiteral("getwindowname"), window}), QStringLiteral("Error"));
            xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window,
                     QStringLiteral("key"), QStringLiteral("Return")});
        }
    }
    const bool ended = second.waitForFinished(20000);
    // Whatever else, the second copy never got as far as a main window of its own.
    QVERIFY2(!QFileInfo::exists(preferencesOf(QStringLiteral("second"))),
             "the second copy opened the data although the first holds it");
    if (!ended) {
        QVERIFY2(!screen, "the second copy did not end after its refusal box was answered");
        // The refusal is a message box that waits for its OK; without a screen no one
        // presses it. That the copy stopped short of its main window is what counts here.
        qInfo("no screen to answer the refusal box on; the second copy waits there, ending it");
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
