#include "data/Schema.h"

namespace nerova {

QStringList TableDef::keyNames() const {
    QStringList names;
    for (const ColumnDef& c : keyColumns())
        names << QString::fromLatin1(c.name);
    return names;
}

int TableDef::indexOf(const QString& column) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (column.compare(QLatin1String(columns[i].name), Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

const ColumnDef* TableDef::find(const QString& column) const {
    const int i = indexOf(column);
    return i < 0 ? nullptr : &columns[static_cast<std::size_t>(i)];
}

QString identifierColumn(TableId id) {
    const TableDef& def = tableDef(id);
    return QString::fromLatin1(def.columns[static_cast<std::size_t>(def.keyCount - 1)].name);
}

} // namespace nerova
