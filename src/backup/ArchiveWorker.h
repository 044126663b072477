#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

namespace nerova {

// Runs the long part of a backup or restore (compressing, extracting, checking) on a
// thread of its own while the window keeps painting and its Cancel button keeps working.
// run() returns only when the work has ended, so the caller's steps stay in their order.
class ArchiveWorker : public QObject {
    Q_OBJECT

public:
    explicit ArchiveWorker(QObject* parent = nullptr) : QObject(parent) {}

    // Runs work on the worker thread and processes the window's events until it ends.
    // Answers the work's error text, empty when it succeeded; an exception thrown by the
    // work is caught there and answered as its text.
    QString run(const std::function<QString(ArchiveWorker&)>& work);
    bool isRunning() const { return m_running; }

    // From any thread.
    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }
    // From the work: bytes done of bytes to do and what is being worked on; reaches the
    // window through progressed, on the window's thread.
    void report(qint64 done, qint64 total, const QString& subject);

Q_SIGNALS:
    void progressed(qint64 done, qint64 total, const QString& subject);

private:
    std::atomic<bool> m_cancelled{false};
    bool m_running = false;
};

} // namespace nerova

class QProgressBar;

namespace nerova {

// Shows bytes done of bytes to do on a bar whose range is fixed (sizes overflow an int).
void showProgress(QProgressBar& bar, qint64 done, qint64 total);

} // namespace nerova
