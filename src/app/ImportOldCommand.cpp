#include "app/ImportOldCommand.h"

#include "app/CopyCommand.h"
#include "app/SingleCopyLock.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "olddata/OldArchive.h"
#include "olddata/OldData.h"

#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

#include <memory>

namespace nerova {

namespace {

const QString kImportOld = QStringLiteral("--import-old");
const QString kTo = QStringLiteral("--to");
const QString kReplace = QStringLiteral("--replace");
const QString kAcceptFields = QStringLiteral("--accept-fields");

int usage(QTextStream& err) {
    err << "Usage: nerova2002 --import-old <folder | archive.zip> "
           "[--to <alias, folder or postgresql:// connection>] [--replace] [--accept-fields]\n";
    return 2;
}

// The value after an option; empty when it is missing or another option follows.
bool valueAfter(const QStringList& args, qsizetype at, QString& value) {
    if (at + 1 >= args.size() || args.at(at + 1).startsWith(QLatin1String("--")))
        return false;
    value = args.at(at + 1);
    return true;
}

} // namespace

int runImportOldCommand(const QStringList& arguments, const QString& registryPath,
                        const QString& defaultDataDir, QTextStream& out, QTextStream& err) {
    const qsizetype at = arguments.indexOf(kImportOld);
    if (at < 0)
        return -1;
    QString source;
    QString target;
    if (!valueAfter(arguments, at, source))
        return usage(err);
    const qsizetype to = arguments.indexOf(kTo);
    if (to >= 0 && !valueAfter(arguments, to, target))
        return usage(err);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (i == at + 1 || (to >= 0 && i == to + 1))
            continue;
        if (a != kImportOld && a != kTo && a != kReplace && a != kAcceptFields)
            return usage(err);
    }
    const bool replace = arguments.contains(kReplace);
    const QLocale english(QLocale::English);
    try {
        std::unique_ptr<OldArchive> archive;
        QString folder = source;
        if (!QFileInfo(source).isDir()) {
            if (!QFileInfo(source).isFile())
                throw EngineError(
                    QStringLiteral("%1 is neither a folder nor an archive.").arg(source));
            archive = std::make_unique<OldArchive>();
            if (const Result r = archive->unpack(source); !r)
                throw EngineError(r.error());
            folder = archive->folder();
        }
        out << "Reading the old tables of " << source << "\n";
        out.flush();
        OldData data(folder);
        const OldDataSurvey& survey = data.survey();
        for (const OldTableReport& t : survey.tables) {
            if (!t.found)
                continue;
            out << t.fileName << ": " << english.toString(t.records) << " records, " << t.fields
                << " fields, code page "
                << (t.codePage ? QString::number(t.codePage) : QStringLiteral("none (1252)"))
                << "\n";
        }
        const QStringList notes = survey.fieldNotes();
        for (const QString& n : notes)
            out << n << "\n";
        out.flush();
        if (!survey.importable()) {
            for (const QString& p : survey.problems())
                err << p << "\n";
            err << "Nothing was imported.\n";
            return 1;
        }
        if (!notes.isEmpty() && !arguments.contains(kAcceptFields)) {
            err << "Nothing was imported: fields are left out or left blank, as listed above. "
                   "Add --accept-fields to import them so.\n";
            return 1;
        }

        Database alias(registryPath, defaultDataDir);
        const DataLocation where =
            target.isEmpty() ? alias.location() : resolveDataLocation(alias, target);
        TargetFolderHolder made(where);
        Database into(where);
        const SingleCopyLock lock(into);
        if (lock.refused())
            throw EngineError(
                QStringLiteral("The data of %1 is in use by another copy of Nerova 2002.")
                    .arg(into.displayName()));
        out << "Importing into " << into.displayName() << "\n";
        out.flush();
        const QList<TableTally> tallies =
            data.importInto(into, replace ? CopyMode::Replace : CopyMode::RefuseRows);
        printTallies(out, tallies);
        out << "Every row was imported and checked.\n";
        made.keep();
        return 0;
    } catch (const EngineError& e) {
        return printRefusal(err, e, replace);
    }
}

} // namespace nerova
