#pragma once

#include <QLockFile>
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace nerova {

class Database;

// One program per file database: a second copy would work on rows the first is changing.
// The database says where its lock goes; a server database is shared by design, so several
// programs may work on it at once and no lock is taken there.
//
// The lock file names the computer and process that hold it. A copy on this computer that
// has ended leaves no lock behind (the system tells); a copy on another computer sharing the
// folder cannot be asked, so the holder touches its lock file every minute, and a lock left
// untouched for ten minutes belongs to a copy that is plainly gone: it may be taken over.
class SingleCopyLock {
public:
    // Takes the database's lock when it has one.
    explicit SingleCopyLock(const Database& db);
    ~SingleCopyLock();
    SingleCopyLock(const SingleCopyLock&) = delete;
    SingleCopyLock& operator=(const SingleCopyLock&) = delete;

    // True when another copy of the program holds the data.
    bool refused() const { return m_refused; }
    // Refused by a copy on another computer whose lock has shown no sign of life for longer
    // than kGoneAfterSeconds.
    bool holderPlainlyGone() const;
    // Why the data is refused: the holder's computer, process and last sign of life, and
    // the lock file.
    QString refusalText() const;
    // The question that offers the take-over from a holder that is plainly gone.
    QString takeOverQuestion() const;
    // Removes the gone holder's lock and takes it; true when the data is ours then.
    bool takeOver();

    static constexpr int kRefreshSeconds = 60;
    static constexpr int kGoneAfterSeconds = 10 * 60;

private:
    struct Holder {
        qint64 pid = 0;
        QString computer;
        qint64 silentSeconds = 0; // since the lock file was last touched
        bool thisComputer = true;
    };
    Holder holder() const;
    QString lockFileText() const;
    void startHeartbeat();
    void stopHeartbeat();

    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_refused = false;
    std::thread m_heartbeat;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
};

} // namespace nerova
