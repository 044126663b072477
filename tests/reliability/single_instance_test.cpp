// Two copies of the program on one database: the second must refuse to start instead of
// opening a second main window over rows the first is changing, and a copy that crashed
// must not keep the data locked.
//
// The program is started as it is installed, with a home of its own (its alias registry
// and data folder follow from it) and a working folder per copy. A copy that got past the
// lock writes its preferences file into its working folder while its main window is made,
// which is how the test tells the two outcomes apart. The refusal is a box that waits for
// its OK, so the second copy runs on a virtual X screen (Xvfb) where the test presses Enter
// on it with xdotool, after which the copy must end with a non-zero code; without those two
// tools that check is skipped, saying so.
#include "data/Database.h"
#include "data/TablesExistCreate.h"
#include "prefs/PreferencesRecord.h"
#include "reliability/SampleTree.h"
#include "support/TempDatabase.h"

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

#include <poll.h>
#include <unistd.h>

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
    void aCrashedCopyLeavesNoLockBehind();
    void cleanup();
    void cleanupTestCase();

private:
    // display: an X display to show the copy on; empty for no screen at all.
    std::unique_ptr<QProcess> start(const QString& name, const QString& display = {});
    bool startScreen(const QString& xvfb);
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

// The server picks a free display itself and writes its number to the pipe only once it
// accepts connections; its socket file appears earlier than that, so waiting for the file
// let a client in too soon. Without -noreset the server starts over each time its last
// client leaves (every xdotool call) and drops a copy that is connecting just then.
bool SingleInstanceTest::startScreen(const QString& xvfb) {
    int fds[2];
    if (::pipe(fds) != 0)
        return false;
    m_screen.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_screen.start(xvfb, {QStringLiteral("-displayfd"), QString::number(fds[1]),
                          QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp")});
    ::close(fds[1]); // the server holds the only writing end: a server that dies ends the pipe
    QByteArray number;
    QElapsedTimer t;
    t.start();
    while (m_screen.waitForStarted(10000) && !number.endsWith('\n') && t.elapsed() < 30000) {
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        char buffer[16];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        number.append(buffer, n);
    }
    ::close(fds[0]);
    m_display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    return number.endsWith('\n');
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
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        QSKIP("Xvfb is not installed (scripts/bootstrap installs it): no screen for the "
              "refusal box");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is not installed (scripts/bootstrap installs it): no one to answer the "
              "refusal box");
    const QString lock = QDir(m_dataDir).filePath(QStringLiteral("NRVA2002.lck"));
    m_copies.push_back(start(QStringLiteral("first")));
    QProcess& first = *m_copies.back();
    QVERIFY2(
        waitFor([&] { return QFileInfo::exists(preferencesOf(QStringLiteral("first"))); }, 60000),
        "the first copy never reached its main window");
    QVERIFY(QFileInfo::exists(lock));

    QVERIFY2(startScreen(xvfb), "the virtual screen did not start");
    m_copies.push_back(start(QStringLiteral("second"), m_display));
    QProcess& second = *m_copies.back();
    // The refusal box, found by the copy's process id; Enter answers its OK.
    const QString pid = QString::number(second.processId());
    QString window;
    QVERIFY2(waitFor(
                 [&] {
                     // A loaded machine may list the window before its title is set.
                     window = xdotool({QStringLiteral("search"), QStringLiteral("--pid"), pid})
                                  .section(QLatin1Char('\n'), 0, 0);
                     return (!window.isEmpty() && xdotool({QStringLiteral("getwindowname"),
                                                           window}) == QLatin1String("Error")) ||
                            second.state() == QProcess::NotRunning;
                 },
                 60000),
             "the second copy showed no window");
    QVERIFY2(!window.isEmpty(), "the second copy ended without showing its refusal");
    QCOMPARE(xdotool({QStringLiteral("getwindowname"), window}), QStringLiteral("Error"));
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window, QStringLiteral("key"),
             QStringLiteral("Return")});
    QVERIFY2(second.waitForFinished(20000),
             "the second copy did not end after its refusal box was answered");
    QVERIFY2(!QFileInfo::exists(preferencesOf(QStringLiteral("second"))),
             "the second copy opened the data although the first holds it");
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QVERIFY(second.exitCode() != 0);
    QCOMPARE(first.state(), QProcess::Running);
    QVERIFY(QFileInfo::exists(lock));
}

void SingleInstanceTest::aCrashedCopyLeavesNoLockBehind() {
    m_copies.push_back(start(QStringLiteral("crashing")));
    QProcess& first = *m_copies.back();
    QVERIFY2(waitFor([&] { return QFileInfo::exists(preferencesOf(QStringLiteral("crashing"))); },
                     60000),
             "the first copy never reached its main window");
    first.kill();
    QVERIFY(first.waitForFinished(10000));
    m_copies.push_back(start(QStringLiteral("next")));
    QVERIFY2(
        waitFor([&] { return QFileInfo::exists(preferencesOf(QStringLiteral("next"))); }, 60000),
        "after a crash of the first copy the next one was still refused");
    QCOMPARE(m_copies.back()->state(), QProcess::Running);
}

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
