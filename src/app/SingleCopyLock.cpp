#include "app/SingleCopyLock.h"

#include "data/Database.h"
#include "data/EngineError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>

namespace nerova {

namespace {

// "3 hours", "1 minute", "2 days": how long a copy has been silent.
QString duration(qint64 seconds) {
    const auto unit = [](qint64 n, const char* one) {
        return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(one)).arg(n == 1 ? "" : "s");
    };
    if (seconds < 120)
        return unit(std::max<qint64>(seconds, 0), "second");
    if (seconds < 2 * 3600)
        return unit(seconds / 60, "minute");
    if (seconds < 2 * 86400)
        return unit(seconds / 3600, "hour");
    return unit(seconds / 86400, "day");
}

} // namespace

SingleCopyLock::SingleCopyLock(const Database& db) {
    try {
        m_path = db.singleCopyLockPath();
    } catch (const EngineError&) {
        return; // no alias: nothing to lock, and the window reports the alias
    }
    if (m_path.isEmpty())
        return;
    m_lock = std::make_unique<QLockFile>(m_path);
    // The system tells when a holder on this computer has died, so a crash never leaves the
    // data locked; a lock from another computer is judged by its age (holderPlainlyGone).
    m_lock->setStaleLockTime(0);
    m_refused = !m_lock->tryLock(0) && m_lock->error() == QLockFile::LockFailedError;
    if (m_lock->isLocked())
        startHeartbeat();
}

SingleCopyLock::~SingleCopyLock() {
    stopHeartbeat();
}

void SingleCopyLock::startHeartbeat() {
    // A thread of its own: a long command on the window's thread must not make the copy look
    // gone to another computer.
    m_heartbeat = std::thread([this] {
        const QByteArray path = QFile::encodeName(m_path);
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_wake.wait_for(lock, std::chrono::seconds(kRefreshSeconds),
                                [this] { return m_stopping; }))
            ::utimensat(AT_FDCWD, path.constData(), nullptr, 0);
    });
}

void SingleCopyLock::stopHeartbeat() {
    if (!m_heartbeat.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_heartbeat.join();
}

SingleCopyLock::Holder SingleCopyLock::holder() const {
    Holder h;
    QString app;
    m_lock->getLockInfo(&h.pid, &h.computer, &app);
    h.thisComputer = h.computer.isEmpty() || h.computer == QSysInfo::machineHostName();
    h.silentSeconds = QFileInfo(m_path).lastModified().secsTo(QDateTime::currentDateTime());
    return h;
}

bool SingleCopyLock::holderPlainlyGone() const {
    if (!m_refused)
        return false;
    const Holder h = holder();
    return !h.thisComputer && h.silentSeconds > kGoneAfterSeconds;
}

QString SingleCopyLock::lockFileText() const {
    return QStringLiteral("Lock file: %1").arg(QDir::toNativeSeparators(m_path));
}

QString SingleCopyLock::refusalText() const {
    const Holder h = holder();
    if (h.thisComputer)
        return QStringLiteral("The data is in use by another copy of Nerova 2002 on this "
                              "computer (process %1).\n%2")
            .arg(h.pid)
            .arg(lockFileText());
    return QStringLiteral("The data is in use by another copy of Nerova 2002 on the computer "
                          "\"%1\", which last showed it was running %2 ago.\n%3")
        .arg(h.computer, duration(h.silentSeconds), lockFileText());
}

QString SingleCopyLock::takeOverQuestion() const {
    const Holder h = holder();
    return QStringLiteral("The data is marked in use by Nerova 2002 on the computer \"%1\", "
                          "which last showed it was running %2 ago: that copy is no longer "
                          "running (the computer was switched off, or the program did not "
                          "end properly).\n%3\n\nTake the data over?")
        .arg(h.computer, duration(h.silentSeconds), lockFileText());
}

bool SingleCopyLock::takeOver() {
    if (!holderPlainlyGone())
        return false;
    m_lock->removeStaleLockFile();
    m_refused = !m_lock->tryLock(0);
    if (m_lock->isLocked())
        startHeartbeat();
    return !m_refused;
}

} // namespace nerova
