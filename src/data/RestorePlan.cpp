#include "data/RestorePlan.h"

#include "data/EngineError.h"
#include "data/Global.h"
#include "data/TableFilesAside.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <optional>
#include <system_error>

namespace nerova {

namespace {

const char* kPlanName = ".NRVA2002restore.plan";
// The plan's line naming the folder of the replaced tables; a staged file's name never
// reads so.
const QByteArray kAsideKey = QByteArrayLiteral("aside");

QString planPath(const QString& dir) {
    return QDir(dir).filePath(QString::fromLatin1(kPlanName));
}

std::optional<TableId> tableOfFile(const QString& bareName) {
    for (TableId id : kAllTables) {
        if (bareName.compare(tableDef(id).fileName(), Qt::CaseInsensitive) == 0)
            return id;
    }
    return std::nullopt;
}

// rename(2) replaces the target in one step, so a file is never left half-written.
Result renameFile(const QString& from, const QString& to) {
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(from).toStdString(),
                            QFile::encodeName(to).toStdString(), ec);
    if (ec)
        return Result::failure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(to),
                                                            QString::fromLocal8Bit(ec.message())));
    return {};
}

// Writes the plan durably; asideFolder is the folder (a bare name in dir) that takes the
// replaced tables. A failure says why.
Result writeRestorePlan(const QString& dir, const QString& asideFolder,
                        const QList<StagedFile>& staged) {
    QSaveFile plan(planPath(dir));
    if (!plan.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Result::failure(plan.errorString());
    QByteArray text = kAsideKey + '\t' + asideFolder.toUtf8() + '\n';
    for (const StagedFile& s : staged)
        text += (QFileInfo(s.first).fileName() + QLatin1Char('\t') + s.second + QLatin1Char('\n'))
                    .toUtf8();
    if (plan.write(text) != text.size() || !plan.commit()) {
        const QString error = plan.errorString();
        plan.cancelWriting();
        return Result::failure(error);
    }
    return {};
}

// Moves the current files of the staged file's table into aside's folder and renames the
// staged file into place; on failure the old files are put back.
Result placeRestoredTable(const QString& dir, TableFilesAside& aside, const StagedFile& staged) {
    const QString bare = QFileInfo(staged.second).fileName();
    const std::optional<TableId> id = tableOfFile(bare);
    if (!id)
        return Result::failure(QStringLiteral("%1 is no table file.").arg(bare));
    try {
        aside.take(*id);
    } catch (const EngineError& e) {
        return Result::failure(e.text());
    }
    if (Result r = renameFile(staged.first, QDir(dir).filePath(bare)); !r) {
        aside.putBack();
        return r;
    }
    return {};
}

void removeRestorePlan(const QString& dir) {
    QFile::remove(planPath(dir));
}

} // namespace

Result placeRestoredTables(const QString& dir, const QDateTime& moment,
                           const QList<StagedFile>& staged, QString& asideFolder,
                           QStringList& placeErrors) {
    TableFilesAside aside(dir, moment);
    const QString folder = aside.makeFolder(); // throws: nothing placed yet
    if (Result r = writeRestorePlan(dir, QFileInfo(folder).fileName(), staged); !r) {
        aside.removeFolderIfEmpty();
        finishInterruptedRestore(dir); // clears the staged files
        return r;
    }
    for (const StagedFile& s : staged) {
        if (Result r = placeRestoredTable(dir, aside, s); !r)
            placeErrors << r.error();
    }
    removeRestorePlan(dir);
    finishInterruptedRestore(dir); // clears staged files left by a failure
    aside.removeFolderIfEmpty();
    asideFolder = aside.folderPath();
    return {};
}

void finishInterruptedRestore(const QString& dir) {
    QFile plan(planPath(dir));
    if (plan.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = plan.readAll().split('\n');
        plan.close();
        std::optional<TableFilesAside> aside;
        for (const QByteArray& line : lines) {
            const QList<QByteArray> parts = line.split('\t');
            if (parts.size() == 2 && parts[0] == kAsideKey) {
                const QString folder = QFileInfo(QString::fromUtf8(parts[1])).fileName();
                if (isReplacedTablesFolder(folder))
                    aside.emplace(TableFilesAside::intoFolder(dir, folder));
            }
        }
        if (!aside)
            aside.emplace(dir, now());
        for (const QByteArray& line : lines) {
            const QList<QByteArray> parts = line.split('\t');
            if (parts.size() != 2 || parts[0] == kAsideKey)
                continue;
            const QString staged = QFileInfo(QString::fromUtf8(parts[0])).fileName();
            if (!staged.startsWith(QLatin1String(kRestoreStagePrefix)))
                continue;
            const QString path = QDir(dir).filePath(staged);
            // A staged file that is gone was placed before the cut.
            if (QFileInfo::exists(path))
                placeRestoredTable(dir, *aside, {path, QString::fromUtf8(parts[1])});
        }
        aside->removeFolderIfEmpty();
        removeRestorePlan(dir);
    }
    const QDir d(dir);
    for (const QString& e :
         d.entryList({QString::fromLatin1(kRestoreStagePrefix) + QLatin1Char('*')},
                     QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(d.filePath(e));
}

} // namespace nerova
