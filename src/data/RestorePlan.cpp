#include "data/RestorePlan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace nerova {

namespace {

const char* kPlanName = ".NRVA2002restore.plan";

QString planPath(const QString& dir) {
    return QDir(dir).filePath(QString::fromLatin1(kPlanName));
}

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// rename(2) replaces the target in one step, whatever the target's own permissions, so a
// read-only table file is replaced as well and never left half-written.
bool replaceFile(const QString& from, const QString& to, QString& error) {
    std::error_code ec;
    std::filesystem::rename(fsPath(from), fsPath(to), ec);
    if (ec) {
        error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(to),
                                             QString::fromLocal8Bit(ec.message()));
        return false;
    }
    return true;
}

} // namespace

bool writeRestorePlan(const QString& dir, const QList<StagedFile>& staged, QString& error) {
    QSaveFile plan(planPath(dir));
    if (!plan.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = plan.errorString();
        return false;
    }
    QByteArray text;
    for (const StagedFile& s : staged)
        text += (QFileInfo(s.first).fileName() + QLatin1Char('\t') + s.second + QLatin1Char('\n'))
                    .toUtf8();
    if (plan.write(text) != text.size() || !plan.commit()) {
        error = plan.errorString();
        plan.cancelWriting();
        return false;
    }
    return true;
}

bool placeRestoredFile(const QString& dir, const QString& stagedPath, const QString& bareName,
                       QString& error) {
    const QDir d(dir);
    const QString target = d.filePath(bareName);
    // A table file whose name differs only in letter case is the one being replaced:
    // renaming over it first and then to the archived name keeps exactly one file of the
    // table in the folder at every moment.
    QString existing;
    for (const QString& e : d.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (e.compare(bareName, Qt::CaseInsensitive) == 0) {
            existing = e;
            break;
        }
    }
    if (!existing.isEmpty() && existing != bareName) {
        const QString old = d.filePath(existing);
        if (!replaceFile(stagedPath, old, error) || !replaceFile(old, target, error))
            return false;
    } else if (!replaceFile(stagedPath, target, error)) {
        return false;
    }
    for (const QString& other : d.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (other != bareName && other.compare(bareName, Qt::CaseInsensitive) == 0)
            QFile::remove(d.filePath(other));
    }
    return true;
}

void removeRestorePlan(const QString& dir) {
    QFile::remove(planPath(dir));
}

void finishInterruptedRestore(const QString& dir) {
    QFile plan(planPath(dir));
    if (plan.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = plan.readAll().split('\n');
        plan.close();
        for (const QByteArray& line : lines) {
            const QList<QByteArray> parts = line.split('\t');
            if (parts.size() != 2)
                continue;
            const QString staged = QFileInfo(QString::fromUtf8(parts[0])).fileName();
            const QString bare = QFileInfo(QString::fromUtf8(parts[1])).fileName();
            if (!staged.startsWith(QLatin1String(kRestoreStagePrefix)) || bare.isEmpty())
                continue;
            const QString path = QDir(dir).filePath(staged);
            QString error;
            if (QFileInfo::exists(path))
                placeRestoredFile(dir, path, bare, error);
        }
        removeRestorePlan(dir);
    }
    const QDir d(dir);
    for (const QString& e :
         d.entryList({QString::fromLatin1(kRestoreStagePrefix) + QLatin1Char('*')},
                     QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(d.filePath(e));
}

} // namespace nerova
