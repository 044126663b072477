#include "app/CopyCommand.h"

#include "app/SingleCopyLock.h"

#include "data/Database.h"
#include "data/DatabaseCopy.h"
#include "data/EngineError.h"
#include "data/Global.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <utility>

namespace nerova {

namespace {

const QString kCopyTo = QStringLiteral("--copy-to");
const QString kCopyFrom = QStringLiteral("--copy-from");
const QString kReplace = QStringLiteral("--replace");

} // namespace

// An alias of the registry, a postgresql:// connection, or a folder (one that exists, or a
// path with a separator, so a mistyped alias never becomes a new folder in the working
// directory).
DataLocation resolveDataLocation(const Database& registry, const QString& text) {
    if (registry.aliasExists(text)) {
        const DataLocation where = DataLocation::fromParameters(registry.aliasParameters(text));
        if (where.carriesPassword())
            throw EngineError(
                QStringLiteral(
                    "The alias %1 carries a password: keep it in ~/.pgpass or in PGPASSWORD, and "
                    "remove it from the alias registry.")
                    .arg(text));
        return where;
    }
    DataLocation where = DataLocation::fromText(text);
    if (where.carriesPassword())
        throw EngineError(
            QStringLiteral(
                "A password does not belong on the command line, where others can read it: keep "
                "it in ~/.pgpass or in PGPASSWORD, and give the connection without it (%1).")
                .arg(where.shownConnection()));
    if (where.server)
        return where;
    const QFileInfo info(text);
    if (info.exists() && !info.isDir())
        throw EngineError(QStringLiteral("%1 is a file, not a folder.")
                              .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
    if (!info.isDir() && !text.contains(QLatin1Char('/')))
        throw EngineError(QStringLiteral("\"%1\" is neither an alias, a folder nor a "
                                         "postgresql:// connection.")
                              .arg(text));
    where.directory = QDir(text).absolutePath();
    return where;
}

TargetFolderHolder::TargetFolderHolder(const DataLocation& where) {
    if (where.server)
        return;
    for (QString path = where.directory; !QFileInfo::exists(path);
         path = QFileInfo(path).absolutePath())
        m_made << path;
    if (!QDir().mkpath(where.directory))
        throw EngineError(QStringLiteral("The folder %1 cannot be created.")
                              .arg(QDir::toNativeSeparators(where.directory)));
}

TargetFolderHolder::~TargetFolderHolder() {
    for (const QString& path : std::as_const(m_made))
        if (!QDir().rmdir(path))
            break;
}

void printTallies(QTextStream& out, const QList<TableTally>& tallies) {
    for (const TableTally& t : tallies)
        out << QString::fromLatin1(tableDef(t.id).baseName) << ": " << t.rows
            << (t.rows == 1 ? " row" : " rows") << ", checksum " << t.checksum << "\n";
}

int printRefusal(QTextStream& err, const EngineError& e, bool replace) {
    err << e.text() << "\n";
    if (!replace && e.text().contains(QLatin1String("already holds")))
        err << "Add --replace to replace the rows it holds.\n";
    return 1;
}

int runCopyCommand(const QStringList& arguments, const QString& registryPath,
                   const QString& defaultDataDir, QTextStream& out, QTextStream& err) {
    const qsizetype to = arguments.indexOf(kCopyTo);
    const qsizetype from = arguments.indexOf(kCopyFrom);
    if (to < 0 && from < 0)
        return -1;
    const qsizetype at = to >= 0 ? to : from;
    if ((to >= 0 && from >= 0) || at + 1 >= arguments.size() ||
        arguments.at(at + 1).startsWith(QLatin1String("--"))) {
        err << "Usage: nerova2002 --copy-to <alias, folder or postgresql:// connection> "
               "[--replace]\n"
               "       nerova2002 --copy-from <alias, folder or postgresql:// connection> "
               "[--replace]\n";
        return 2;
    }
    const bool replace = arguments.contains(kReplace);
    try {
        Database alias(registryPath, defaultDataDir);
        const DataLocation mine = alias.location();
        const DataLocation other = resolveDataLocation(alias, arguments.at(at + 1));
        if (mine.sameAs(other))
            throw EngineError(
                QStringLiteral("%1 is the database this program works on: a copy needs "
                               "another one.")
                    .arg(other.shownName()));
        TargetFolderHolder folder(other);
        Database ours(mine);
        Database theirs(other);
        // A file database is held by one program at a time; the copy is one such program,
        // holding both locks until it is done.
        const SingleCopyLock ourLock(ours);
        const SingleCopyLock theirLock(theirs);
        for (const auto& [lock, db] : {std::pair{&ourLock, &ours}, std::pair{&theirLock, &theirs}})
            if (lock->refused())
                throw EngineError(
                    QStringLiteral("%1:\n%2").arg(db->displayName(), lock->refusalText()));
        // Both are ours now: what a killed run left in their folders goes first.
        ours.clearLeftovers();
        theirs.clearLeftovers();
        Database& source = to >= 0 ? ours : theirs;
        Database& target = to >= 0 ? theirs : ours;
        out << "Copying from " << source.displayName() << " to " << target.displayName() << "\n";
        out.flush();
        const QList<TableTally> tallies =
            copyDatabase(source, target, replace ? CopyMode::Replace : CopyMode::RefuseRows,
                         [&out](TableId id, qint64 done) {
                             if (done == 0)
                                 out << QString::fromLatin1(tableDef(id).label) << " table ...\n";
                             out.flush();
                         });
        printTallies(out, tallies);
        out << "Every row was copied and checked.\n";
        folder.keep();
        return 0;
    } catch (const EngineError& e) {
        return printRefusal(err, e, replace);
    }
}

} // namespace nerova
