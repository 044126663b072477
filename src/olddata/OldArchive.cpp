#include "olddata/OldArchive.h"

#include "backup/TableFiles.h"
#include "backup/ZipArchiver.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "olddata/ParadoxFile.h"

#include <QDir>
#include <QSet>
#include <QStorageInfo>

#include <limits>
#include <sys/stat.h>

namespace nerova {

namespace {

QString refused(const QString& why) {
    return QStringLiteral("The archive cannot be read: %1.").arg(why);
}

} // namespace

OldArchive::OldArchive() {
    m_freeSpace = [](const QString& folder) { return QStorageInfo(folder).bytesAvailable(); };
}

Result OldArchive::unpack(const QString& archivePath) {
    if (!m_dir.isValid())
        return Result::failure(refused(QStringLiteral("no temporary folder can be made")));
    ZipArchiver archive;
    if (!archive.openForReading(archivePath)) {
        if (!archive.duplicateName().isEmpty())
            return Result::failure(
                refused(QStringLiteral("it holds %1 twice").arg(archive.duplicateName())));
        return Result::failure(refused(archive.lastError()));
    }
    const qint64 free = m_freeSpace(m_dir.path());
    const qint64 room = free < 0 ? std::numeric_limits<qint64>::max() : free;
    qint64 needed = 0;
    QSet<QString> seen;
    QList<ZipArchiver::Entry> chosen;
    for (const QString& word : tableFileWords()) {
        for (const ZipArchiver::Entry& entry : archive.entries()) {
            const QString bare = bareFileName(entry.name);
            if (!isTableFile(bare, word))
                continue;
            if (seen.contains(bare.toLower()))
                return Result::failure(refused(QStringLiteral("it holds %1 twice").arg(bare)));
            seen.insert(bare.toLower());
            if (ZipArchiver::isSpecialFile(entry))
                return Result::failure(refused(
                    S_ISLNK((entry.attributes >> 16) & S_IFMT)
                        ? QStringLiteral("%1 is a symbolic link, not a file").arg(entry.name)
                        : QStringLiteral("%1 is not a plain file").arg(entry.name)));
            needed += static_cast<qint64>(
                std::min<std::uint64_t>(entry.size, std::numeric_limits<qint64>::max() / 4));
            if (needed > room)
                return Result::failure(
                    refused(QStringLiteral("%1 is larger than the free space left in %2")
                                .arg(entry.name, QDir::toNativeSeparators(m_dir.path()))));
            chosen << entry;
        }
    }
    for (const ZipArchiver::Entry& entry : std::as_const(chosen)) {
        const QString path = m_dir.path() + QLatin1Char('/') + bareFileName(entry.name);
        if (!archive.extract(entry.index, path))
            return Result::failure(refused(archive.lastError()));
    }
    return {};
}

bool OldArchive::holdsOldTables(const QString& archivePath) {
    OldArchive unpacked;
    if (!unpacked.unpack(archivePath))
        return false;
    const QString company =
        findFileNoCase(unpacked.folder(), tableDef(TableId::Company).fileName());
    if (company.isEmpty())
        return false;
    ParadoxFile file;
    return file.open(company, QString(), unpacked.folder());
}

} // namespace nerova
