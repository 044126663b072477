#include "olddata/OldTable.h"

#include "data/EngineError.h"

#include <QFileInfo>
#include <QHash>
#include <QLocale>

#include "olddata/PxLib.h"

namespace nerova {

namespace {

bool isText(int type) {
    return type == pxfAlpha || type == pxfMemoBLOb || type == pxfFmtMemoBLOb;
}

// Which old field types a column of ours takes.
bool fits(ColumnType column, int type) {
    switch (column) {
    case ColumnType::Alpha:
    case ColumnType::Memo:
        return isText(type);
    case ColumnType::Number:
        return type == pxfNumber || type == pxfCurrency || type == pxfShort || type == pxfLong ||
               type == pxfAutoInc || type == pxfBCD;
    case ColumnType::Date:
        return type == pxfDate || type == pxfTimestamp;
    case ColumnType::Time:
        return type == pxfTime || type == pxfTimestamp;
    case ColumnType::Logical:
        return type == pxfLogical;
    }
    return false;
}

QString holds(ColumnType column) {
    switch (column) {
    case ColumnType::Alpha:
    case ColumnType::Memo:
        return QStringLiteral("text");
    case ColumnType::Number:
        return QStringLiteral("a number");
    case ColumnType::Date:
        return QStringLiteral("a date");
    case ColumnType::Time:
        return QStringLiteral("a time of day");
    case ColumnType::Logical:
        return QStringLiteral("yes or no");
    }
    return {};
}

QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString memoNameOf(const QString& dbName) {
    return QFileInfo(dbName).completeBaseName() + QStringLiteral(".mb");
}

} // namespace

OldTable::OldTable(TableId id, QString dbPath, QString memoPath, QString scratchDir)
    : m_id(id), m_dbPath(std::move(dbPath)), m_memoPath(std::move(memoPath)),
      m_scratchDir(std::move(scratchDir)) {
    m_fileName = m_dbPath.isEmpty() ? tableDef(id).fileName() : QFileInfo(m_dbPath).fileName();
}

OldTable::~OldTable() = default;

QString OldTable::where(int recno, const ParadoxField& field) const {
    return QStringLiteral("%1 record %2, %3")
        .arg(m_fileName, QLocale(QLocale::English).toString(recno + 1), quoted(field.name));
}

bool OldTable::openAndMatch(OldTableReport& report) {
    const TableDef& def = tableDef(m_id);
    report.id = m_id;
    report.fileName = m_fileName;
    if (m_dbPath.isEmpty()) {
        report.problems << QStringLiteral("%1 is missing.").arg(m_fileName);
        return false;
    }
    report.found = true;
    if (const Result r = m_file.open(m_dbPath, m_memoPath, m_scratchDir); !r) {
        report.problems << r.error();
        return false;
    }
    report.records = m_file.recordCount();
    report.fields = static_cast<int>(m_file.fields().size());
    report.codePage = m_file.codePage();
    m_text = std::make_unique<CodePageText>(m_file.codePage());
    if (!m_text->known())
        report.problems << QStringLiteral("%1: its code page %2 is not known here.")
                               .arg(m_fileName)
                               .arg(m_file.codePage());

    m_sources.assign(def.columns.size(), Source{});
    const QList<ParadoxField>& fields = m_file.fields();
    for (int i = 0; i < fields.size(); ++i) {
        const ParadoxField& f = fields[i];
        const int column = def.indexOf(f.name);
        if (column < 0) {
            report.leftOut << f.name;
            continue;
        }
        const ColumnDef& c = def.columns[static_cast<std::size_t>(column)];
        Source& s = m_sources[static_cast<std::size_t>(column)];
        if (s.field >= 0) {
            report.problems << QStringLiteral("%1: %2 and %3 both name the column %4.")
                                   .arg(m_fileName, quoted(fields[s.field].name), quoted(f.name),
                                        quoted(QString::fromLatin1(c.name)));
            continue;
        }
        if (!fits(c.type, f.type)) {
            report.problems << QStringLiteral("%1, %2: a %3 field; the column holds %4.")
                                   .arg(m_fileName, quoted(f.name), paradoxTypeName(f.type),
                                        holds(c.type));
            continue;
        }
        s.field = i;
    }
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        if (m_sources[i].field >= 0)
            continue;
        const QString name = QString::fromLatin1(def.columns[i].name);
        // A field of the wrong type is already a problem of its own.
        bool typed = false;
        for (const ParadoxField& f : fields)
            typed = typed || f.name.compare(name, Qt::CaseInsensitive) == 0;
        if (typed)
            continue;
        if (static_cast<int>(i) < def.keyCount)
            report.problems << QStringLiteral("%1 has no field %2, a key that cannot be left "
                                              "blank.")
                                   .arg(m_fileName, quoted(name));
        else
            report.leftBlank << name;
    }
    return report.problems.isEmpty();
}

bool OldTable::convertValue(const ColumnDef& column, const ParadoxField& field, const char* record,
                            QVariant& value, QString& why) {
    value = QVariant();
    bool ok = true;
    switch (column.type) {
    case ColumnType::Alpha:
    case ColumnType::Memo: {
        std::optional<QByteArray> bytes;
        if (field.type == pxfAlpha) {
            bytes = m_file.alpha(field, record);
        } else {
            bytes = m_file.memo(field, record, ok);
            if (!ok) {
                why = m_file.hasMemoFile()
                          ? m_file.lastError()
                          : QStringLiteral("the memo is kept in %1, which is missing")
                                .arg(memoNameOf(m_fileName));
                return false;
            }
        }
        if (!bytes)
            return true;
        const std::optional<QString> text = m_text->decode(*bytes);
        if (!text) {
            why = QStringLiteral("not text of code page %1").arg(m_text->codePage());
            return false;
        }
        if (column.type == ColumnType::Alpha && text->size() > column.size) {
            why = QStringLiteral("%1 characters, the column holds %2")
                      .arg(text->size())
                      .arg(column.size);
            return false;
        }
        value = *text;
        return true;
    }
    case ColumnType::Number: {
        const std::optional<double> n = m_file.number(field, record, ok);
        if (!ok) {
            why = m_file.lastError();
            return false;
        }
        if (n)
            value = *n;
        return true;
    }
    case ColumnType::Logical:
        if (const std::optional<bool> b = m_file.logical(field, record))
            value = *b;
        return true;
    case ColumnType::Date:
    case ColumnType::Time: {
        QDate date;
        QTime time;
        if (field.type == pxfTimestamp) {
            const std::optional<double> ms = m_file.number(field, record, ok);
            if (!ok || !ms) {
                why = m_file.lastError();
                return ok;
            }
            const QDateTime at = ParadoxFile::dateTimeOfMilliseconds(*ms);
            date = at.date();
            time = at.time();
            if (!date.isValid()) {
                why = QStringLiteral("not a date and time");
                return false;
            }
        } else {
            const std::optional<long> n = m_file.integer(field, record, ok);
            if (!ok) {
                why = m_file.lastError();
                return false;
            }
            if (!n)
                return true;
            if (field.type == pxfDate) {
                date = ParadoxFile::dateOfDays(*n);
                if (!date.isValid()) {
                    why = QStringLiteral("not a date");
                    return false;
                }
            } else {
                if (*n < 0 || *n >= 86400000L) {
                    why = QStringLiteral("not a time of day");
                    return false;
                }
                time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(*n));
            }
        }
        if (column.type == ColumnType::Date) {
            if (date.year() < 1900 || date.year() > 2100) {
                why = QStringLiteral("%1 is outside 1900–2100")
                          .arg(date.toString(QStringLiteral("MM/dd/yyyy")));
                return false;
            }
            value = date;
        } else {
            // Our times are kept to the second, as the former program showed them.
            value = QTime(time.hour(), time.minute(), time.second());
        }
        return true;
    }
    }
    return true;
}

bool OldTable::convert(int recno, const QByteArray& record, QVariantList& row, QString& problem) {
    const TableDef& def = tableDef(m_id);
    const QList<ParadoxField>& fields = m_file.fields();
    row.clear();
    row.reserve(static_cast<qsizetype>(def.columns.size()));
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        const ColumnDef& c = def.columns[i];
        const int f = m_sources[i].field;
        if (f < 0) {
            row << QVariant();
            continue;
        }
        QVariant value;
        QString why;
        if (!convertValue(c, fields[f], record.constData(), value, why)) {
            problem = QStringLiteral("%1: %2.").arg(where(recno, fields[f]), why);
            return false;
        }
        // pxlib hands back the records a damaged file lacks as blanks: a blank key is such.
        if (static_cast<int>(i) < def.keyCount && value.isNull()) {
            problem = QStringLiteral("%1: blank, though it is part of the key; the file is "
                                     "damaged.")
                          .arg(where(recno, fields[f]));
            return false;
        }
        row << value;
    }
    return true;
}

QString OldTable::keyText(const QVariantList& row) const {
    QStringList parts;
    for (int i = 0; i < tableDef(m_id).keyCount; ++i)
        parts << quoted(row[i].toString());
    return parts.join(QStringLiteral(" / "));
}

OldTableReport OldTable::survey(const Progress& progress) {
    OldTableReport report;
    m_open = openAndMatch(report);
    if (!m_open)
        return report;

    // A duplicate key is found by a hash of the key; the rare equal hash is checked by
    // reading the earlier record again, so only true duplicates are reported.
    QHash<size_t, int> firstOfKey;
    firstOfKey.reserve(static_cast<qsizetype>(m_file.recordCount()));
    const int keys = tableDef(m_id).keyCount;
    QByteArray record;
    QByteArray earlier;
    QVariantList row;
    QVariantList earlierRow;
    int more = 0;
    auto note = [&](const QString& problem) {
        if (report.problems.size() < kProblemsListed)
            report.problems << problem;
        else
            ++more;
    };
    const int total = m_file.recordCount();
    for (int recno = 0; recno < total; ++recno) {
        if (progress && recno % 4096 == 0)
            progress(recno, total);
        if (!m_file.read(recno, record)) {
            note(QStringLiteral("%1 record %2: %3.")
                     .arg(m_fileName, QLocale(QLocale::English).toString(recno + 1),
                          m_file.lastError()));
            continue;
        }
        QString problem;
        if (!convert(recno, record, row, problem)) {
            note(problem);
            continue;
        }
        QString key;
        for (int k = 0; k < keys; ++k)
            key += row[k].toString() + QChar(0x1f);
        const size_t h = qHash(key);
        const auto seen = firstOfKey.constFind(h);
        if (seen == firstOfKey.cend()) {
            firstOfKey.insert(h, recno);
            continue;
        }
        QString ignored;
        if (m_file.read(*seen, earlier) && convert(*seen, earlier, earlierRow, ignored) &&
            earlierRow.mid(0, keys) == row.mid(0, keys))
            note(QStringLiteral("%1 records %2 and %3 have the same key: %4.")
                     .arg(m_fileName, QLocale(QLocale::English).toString(*seen + 1),
                          QLocale(QLocale::English).toString(recno + 1), keyText(row)));
    }
    if (progress)
        progress(total, total);
    if (more > 0)
        report.problems << QStringLiteral("%1: %2 more problems like these.")
                               .arg(m_fileName, QLocale(QLocale::English).toString(more));
    m_open = report.problems.isEmpty();
    return report;
}

void OldTable::readRows(const std::function<void(const QVariantList&)>& row) {
    if (!m_open)
        throw EngineError(QStringLiteral("%1 was not read before it is imported.").arg(m_fileName));
    QByteArray record;
    QVariantList values;
    const int total = m_file.recordCount();
    for (int recno = 0; recno < total; ++recno) {
        if (!m_file.read(recno, record))
            throw EngineError(QStringLiteral("%1 record %2: %3.")
                                  .arg(m_fileName)
                                  .arg(recno + 1)
                                  .arg(m_file.lastError()));
        QString problem;
        if (!convert(recno, record, values, problem))
            throw EngineError(problem);
        row(values);
    }
}

} // namespace nerova
