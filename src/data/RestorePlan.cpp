#include "data/RestorePlan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

#include <sqlite3.h>

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
Result replaceFile(const QString& from, const QString& to) {
    std::error_code ec;
    std::filesystem::rename(fsPath(from), fsPath(to), ec);
    if (ec)
        return Result::failure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(to),
                                                            QString::fromLocal8Bit(ec.message())));
    return {};
}

// One read-only connection of its own, so that the check never touches the engine's.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString& path) {
        // immutable: a stray journal beside a staged file is never looked for or replayed.
        const QByteArray uri =
            "file:" + QUrl::fromLocalFile(path).toEncoded(QUrl::RemoveScheme) + "?immutable=1";
        m_rc = sqlite3_open_v2(uri.constData(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                               nullptr);
    }
    ~ReadOnlyFile() { sqlite3_close_v2(m_db); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool opened() const { return m_rc == SQLITE_OK; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

    // Every row of a query, each as its column texts; false with error() when it fails.
    bool rows(const QString& sql, QList<QStringList>& out) {
        out.clear();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            return false;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
            out << row;
        }
        sqlite3_finalize(st);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3* m_db = nullptr;
    int m_rc = SQLITE_ERROR;
};

} // namespace

Result checkTableFile(const QString& path, TableId id) {
    const TableDef& def = tableDef(id);
    ReadOnlyFile file(path);
    if (!file.opened())
        return Result::failure(file.error());
    QList<QStringList> rows;
    if (!file.rows(QStringLiteral("PRAGMA integrity_check"), rows))
        return Result::failure(file.error());
    if (rows.isEmpty() || rows.first().value(0) != QLatin1String("ok"))
        return Result::failure(QStringLiteral("the file is damaged (%1)")
                                   .arg(rows.isEmpty() ? QString() : rows.first().value(0)));

    const QString table = QString::fromLatin1(def.baseName);
    if (!file.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table'"), rows))
        return Result::failure(file.error());
    QString stored;
    for (const QStringList& row : rows) {
        if (row.value(0).compare(table, Qt::CaseInsensitive) == 0)
            stored = row.value(0);
    }
    if (stored.isEmpty())
        return Result::failure(
            QStringLiteral("it holds no %1 table").arg(QString::fromLatin1(def.label)));

    if (!file.rows(QStringLiteral("PRAGMA table_info(\"%1\")").arg(stored), rows))
        return Result::failure(file.error());
    QStringList columns;
    for (const QStringList& row : rows)
        columns << row.value(1);
    if (columns != def.columnNames())
        return Result::failure(QStringLiteral("its %1 table has other columns than this program's")
                                   .arg(QString::fromLatin1(def.label)));

    if (!file.rows(QStringLiteral("PRAGMA user_version"), rows))
        return Result::failure(file.error());
    const int version = rows.value(0).value(0).toInt();
    if (!schemaVersionKnown(version))
        return Result::failure(
            QStringLiteral("its table version %1 is not one this program knows").arg(version));
    return {};
}

Result writeRestorePlan(const QString& dir, const QList<StagedFile>& staged) {
    QSaveFile plan(planPath(dir));
    if (!plan.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Result::failure(plan.errorString());
    QByteArray text;
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

Result placeRestoredFile(const QString& dir, const QString& stagedPath, const QString& bareName) {
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
        if (Result r = replaceFile(stagedPath, old); !r)
            return r;
        if (Result r = replaceFile(old, target); !r)
            return r;
    } else if (Result r = replaceFile(stagedPath, target); !r) {
        return r;
    }
    for (const QString& other : d.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (other != bareName && other.compare(bareName, Qt::CaseInsensitive) == 0)
            QFile::remove(d.filePath(other));
    }
    return {};
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
            if (QFileInfo::exists(path))
                placeRestoredFile(dir, path, bare); // failing, its table stays as it was
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
