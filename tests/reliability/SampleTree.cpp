#include "reliability/SampleTree.h"

#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Statement.h"
#include "data/Table.h"
#include "data/TablesExistCreate.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace nerova::test {

namespace {

const QChar kSep = kKeySeparator;

QString prefixOf(const QString& key, int parts) {
    return key.section(kSep, 0, parts - 1);
}

} // namespace

int TreeSnapshot::rowCount() const {
    int n = 0;
    for (const auto& r : rows)
        n += static_cast<int>(r.size());
    return n;
}

QStringList TreeSnapshot::companies() const {
    return rows[0].keys();
}
QStringList TreeSnapshot::locations() const {
    return rows[1].keys();
}
QStringList TreeSnapshot::tests() const {
    return rows[3].keys();
}

TreeSnapshot sampleSnapshot() {
    TreeSnapshot s;
    for (int c = 1; c <= kSampleCompanies; ++c) {
        const QString ck = QStringLiteral("C%1").arg(c, 2, 10, QLatin1Char('0'));
        s.rows[0].insert(ck, QString());
        for (int l = 1; l <= kSampleChildren; ++l) {
            const QString lk = ck + kSep + QStringLiteral("L%1").arg(l);
            s.rows[1].insert(lk, QString());
            for (int p = 1; p <= kSampleChildren; ++p) {
                const QString pk = lk + kSep + QStringLiteral("P%1").arg(p);
                s.rows[2].insert(pk, QString());
                for (int t = 1; t <= kSampleChildren; ++t) {
                    const QString tk = pk + kSep + QStringLiteral("T%1").arg(t);
                    s.rows[3].insert(tk, QStringLiteral("first"));
                    for (int f = 1; f <= kSampleFlows; ++f)
                        s.rows[4].insert(tk + kSep + QString::number(f), QString());
                }
            }
        }
    }
    return s;
}

void fillSampleTree(Database& db) {
    const TreeSnapshot s = sampleSnapshot();
    for (TableId id : kAllTables) {
        db.createTable(id);
        Table t(db, id);
        t.open();
        Database::Transaction tx(db);
        const QStringList keyNames = t.def().keyNames();
        for (auto it = s.rows[static_cast<int>(id)].cbegin();
             it != s.rows[static_cast<int>(id)].cend(); ++it) {
            t.append();
            const QStringList parts = it.key().split(kSep);
            for (int i = 0; i < parts.size(); ++i)
                t.setValue(keyNames[i], parts[i]);
            if (id == TableId::Test)
                t.setValue(QStringLiteral("Notes"), it.value());
            if (id == TableId::Company || id == TableId::Location)
                t.setValue(QStringLiteral("Name"), QStringLiteral("Sample ") + parts.last());
            t.post();
        }
        tx.commit();
        t.close();
    }
}

TreeSnapshot readSnapshot(Database& db) {
    TreeSnapshot s;
    for (TableId id : kAllTables) {
        Table t(db, id);
        t.open();
        const QStringList keyNames = t.def().keyNames();
        for (t.first(); !t.eof(); t.next()) {
            QStringList parts;
            for (const QString& k : keyNames)
                parts << t.asString(k);
            s.rows[static_cast<int>(id)].insert(
                parts.join(kSep),
                id == TableId::Test ? t.asString(QStringLiteral("Notes")) : QString());
        }
        t.close();
    }
    return s;
}

QStringList dumpAllRows(Database& db) {
    QStringList out;
    for (TableId id : kAllTables) {
        Table t(db, id);
        t.open();
        const int columns = static_cast<int>(t.def().columns.size());
        for (t.first(); !t.eof(); t.next()) {
            QStringList values{QString::fromLatin1(t.def().name)};
            for (int i = 0; i < columns; ++i) {
                const QVariant v = t.value(i);
                values << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            }
            out << values.join(kSep);
        }
        t.close();
    }
    return out;
}

QStringList integrityProblems(Database& db) {
    QStringList out;
    for (TableId id : kAllTables) {
        const QString schema = QString::fromLatin1(tableDef(id).name);
        Statement& st = db.statement(QStringLiteral("PRAGMA %1.integrity_check").arg(schema));
        QStringList lines;
        while (st.step())
            lines << st.text(0);
        if (lines != QStringList{QStringLiteral("ok")})
            out << schema + QStringLiteral(": ") + lines.join(QStringLiteral("; "));
    }
    return out;
}

QStringList shapeProblems(const TreeSnapshot& s) {
    QStringList out;
    for (int t = 1; t < 5; ++t) {
        for (const QString& key : s.rows[t].keys()) {
            if (!s.rows[t - 1].contains(prefixOf(key, t)))
                out << QStringLiteral("%1 row %2 has no owner")
                           .arg(QString::fromLatin1(tableDef(static_cast<TableId>(t)).name), key);
        }
    }
    // Every owner holds a whole tree.
    for (int t = 0; t < 4; ++t) {
        const int expected = t == 3 ? kSampleFlows : kSampleChildren;
        QMap<QString, int> children;
        for (const QString& key : s.rows[t + 1].keys())
            ++children[prefixOf(key, t + 1)];
        for (const QString& key : s.rows[t].keys()) {
            if (children.value(key) != expected)
                out << QStringLiteral("%1 row %2 holds %3 rows below, not %4")
                           .arg(QString::fromLatin1(tableDef(static_cast<TableId>(t)).name), key)
                           .arg(children.value(key))
                           .arg(expected);
        }
    }
    return out;
}

TreeSnapshot applyOperation(const TreeSnapshot& s, const QString& op) {
    const QStringList w = op.split(QLatin1Char(' '));
    TreeSnapshot r = s;
    if (w.value(0) == QLatin1String("POST") && w.size() == 3) {
        if (r.rows[3].contains(w[1]))
            r.rows[3][w[1]] = w[2];
    } else if (w.value(0) == QLatin1String("DELC") && w.size() == 2) {
        for (auto& rows : r.rows) {
            for (auto it = rows.begin(); it != rows.end();) {
                if (prefixOf(it.key(), 1) == w[1])
                    it = rows.erase(it);
                else
                    ++it;
            }
        }
    } else if (w.value(0) == QLatin1String("CHLOC") && w.size() == 4) {
        const QString from = w[1] + kSep + w[2];
        for (int t = 1; t < 5; ++t) {
            QMap<QString, QString> moved;
            for (auto it = r.rows[t].cbegin(); it != r.rows[t].cend(); ++it) {
                const QString key = it.key();
                moved.insert(prefixOf(key, 2) == from ? w[1] + kSep + w[3] + key.mid(from.size())
                                                      : key,
                             it.value());
            }
            r.rows[t] = moved;
        }
    } else if (w.value(0) == QLatin1String("RESTORE")) {
        r = sampleSnapshot();
    }
    return r;
}

void copyFolderFiles(const QString& from, const QString& to) {
    QDir src(from);
    for (const QString& name : src.entryList(QDir::Files | QDir::Hidden)) {
        QFile::remove(QDir(to).filePath(name));
        if (!QFile::copy(src.filePath(name), QDir(to).filePath(name)))
            throw EngineError(QStringLiteral("Cannot copy %1").arg(name));
    }
}

QStringList fileTree(const QString& root) {
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

} // namespace nerova::test
