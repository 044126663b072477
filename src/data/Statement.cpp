#include "data/Statement.h"

#include <QDate>
#include <QTime>

namespace nerova {

QVariant typedValue(const Statement& st, int col, ColumnType type) {
    if (st.isNull(col))
        return {};
    switch (type) {
    case ColumnType::Alpha:
    case ColumnType::Memo:
        return st.text(col);
    case ColumnType::Number:
        return st.real(col);
    case ColumnType::Logical:
        return st.int64(col) != 0;
    case ColumnType::Date:
        return QDate::fromString(st.text(col), Qt::ISODate);
    case ColumnType::Time:
        return QTime::fromString(st.text(col), QStringLiteral("HH:mm:ss"));
    }
    return {};
}

QString quoteIdent(const QString& name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString quotedList(const QStringList& names) {
    QStringList quoted;
    quoted.reserve(names.size());
    for (const QString& n : names)
        quoted << quoteIdent(n);
    return quoted.join(QStringLiteral(", "));
}

QString insertSql(const QString& table, const TableDef& def) {
    QStringList marks;
    for (std::size_t i = 0; i < def.columns.size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(table, quotedList(def.columnNames()), marks.join(QStringLiteral(", ")));
}

} // namespace nerova
