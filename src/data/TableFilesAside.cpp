#include "data/TableFilesAside.h"

#include "data/EngineError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace nerova {

QString replacedFolderName(const QDateTime& moment) {
    // No colons: the name must be valid on every file system the data may be copied to.
    return QStringLiteral("Replaced ") + moment.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
}

bool isReplacedTablesFolder(const QString& folderName) {
    static const QRegularExpression pattern(
        QStringLiteral("^Replaced \\d{4}-\\d{2}-\\d{2} \\d{2}-\\d{2}-\\d{2}( \\(\\d+\\))?$"));
    return pattern.match(folderName).hasMatch();
}

TableFilesAside::TableFilesAside(QString databaseDir, QDateTime moment)
    : m_dir(std::move(databaseDir)), m_moment(std::move(moment)) {}

TableFilesAside TableFilesAside::intoFolder(QString databaseDir, const QString& folderName) {
    TableFilesAside aside(std::move(databaseDir), QDateTime());
    aside.m_folder = QDir(aside.m_dir).filePath(folderName);
    return aside;
}

void TableFilesAside::removeFolderIfEmpty() {
    // rmdir removes only an empty folder: whatever was moved in stays.
    if (!m_folder.isEmpty() && QDir(m_dir).rmdir(QFileInfo(m_folder).fileName()))
        m_folder.clear();
}

QString TableFilesAside::makeFolder() {
    if (!m_folder.isEmpty()) {
        // A folder written down by a restore that was cut short may not exist yet.
        QDir().mkpath(m_folder);
        return m_folder;
    }
    const QDir dir(m_dir);
    const QString base = replacedFolderName(m_moment);
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? base : QStringLiteral("%1 (%2)").arg(base).arg(n);
        // mkdir fails on an existing name, so an earlier folder is never reused.
        if (!dir.exists(name) && dir.mkdir(name)) {
            m_folder = dir.filePath(name);
            return m_folder;
        }
    }
    throw EngineError(QStringLiteral("Cannot create the folder %1 for the replaced table files.")
                          .arg(QDir::toNativeSeparators(dir.filePath(base))),
                      EngineError::Code::Io);
}

void TableFilesAside::take(TableId id) {
    m_lastMoved.clear();
    const QString prefix =
        QStringLiteral("NRVA2002") + QString::fromLatin1(tableDef(id).label) + QLatin1Char('.');
    const QDir dir(m_dir);
    // Files only, and only this directory: earlier "Replaced" folders are left alone.
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : entries) {
        if (!name.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        makeFolder();
        const QString from = dir.filePath(name);
        const QString to = QDir(m_folder).filePath(name);
        // A rename within one directory tree: the bytes are never rewritten, and an
        // existing file at the target is never overwritten.
        if (!QFile::rename(from, to)) {
            const QString reason = QFile(from).errorString();
            putBack();
            throw EngineError(QStringLiteral("Cannot move %1 to %2: %3")
                                  .arg(QDir::toNativeSeparators(from),
                                       QDir::toNativeSeparators(m_folder), reason),
                              EngineError::Code::Io);
        }
        m_lastMoved.append({from, to});
    }
}

void TableFilesAside::putBack() {
    for (const auto& [from, to] : std::as_const(m_lastMoved))
        QFile::rename(to, from);
    m_lastMoved.clear();
}

} // namespace nerova
