#include "backup/ArchiveWorker.h"

#include "data/EngineError.h"

#include <QEventLoop>
#include <QLocale>
#include <QProgressBar>
#include <QThread>

#include <algorithm>
#include <exception>
#include <memory>

namespace nerova {

QString ArchiveWorker::run(const std::function<QString(ArchiveWorker&)>& work) {
    m_cancelled = false;
    m_running = true;
    QString result;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            result = work(*this);
        } catch (const EngineError& e) {
            result = e.text();
        } catch (const std::exception& e) {
            result = QString::fromLocal8Bit(e.what());
        }
    }));
    QEventLoop loop;
    connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    // The window paints and its Cancel works meanwhile; the callers' windows are modal, so
    // no other command of the program can start.
    loop.exec();
    thread->wait();
    m_running = false;
    return result;
}

void ArchiveWorker::report(qint64 done, qint64 total, const QString& subject) {
    // Queued to the window's thread: the worker never touches a widget.
    Q_EMIT progressed(done, total, subject);
}

} // namespace nerova

namespace nerova {

void showProgress(QProgressBar& bar, qint64 done, qint64 total) {
    constexpr int kSteps = 1000;
    bar.setRange(0, kSteps);
    bar.setValue(total > 0 ? static_cast<int>(std::min(done, total) * kSteps / total) : 0);
    const QLocale locale;
    bar.setFormat(QStringLiteral("%1 of %2")
                      .arg(locale.formattedDataSize(done), locale.formattedDataSize(total)));
}

} // namespace nerova
