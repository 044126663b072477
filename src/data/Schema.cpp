#include "data/Schema.h"

#include "data/EngineError.h"

#include <QHash>
#include <array>

namespace nerova {

void checkAlphaText(const ColumnDef& c, const QString& text) {
    qsizetype characters = 0;
    bool control = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())
            continue; // the second half of one character
        ++characters;
        control = control || text[i].category() == QChar::Other_Control;
    }
    if (characters > c.size)
        throw EngineError(QStringLiteral("Field value too long.\n\"%1\" holds at most %2 "
                                         "characters.")
                              .arg(QString::fromLatin1(c.name))
                              .arg(c.size));
    if (control && c.required)
        throw EngineError(QStringLiteral("Field value not allowed.\n\"%1\" may not hold a tab, a "
                                         "line break or another control character.")
                              .arg(QString::fromLatin1(c.name)));
}

QStringList TableDef::keyNames() const {
    QStringList names;
    for (const ColumnDef& c : keyColumns())
        names << QString::fromLatin1(c.name);
    return names;
}

QStringList TableDef::columnNames() const {
    QStringList names;
    for (const ColumnDef& c : columns)
        names << QString::fromLatin1(c.name);
    return names;
}

int TableDef::indexOf(const QString& column) const {
    // Fields and formulas look columns up by name on every refresh and every value they
    // write: one hash of the case-folded names per table instead of a scan of up to 192.
    static const auto byName = [] {
        std::array<QHash<QString, int>, 5> maps;
        for (TableId t : kAllTables) {
            const TableDef& d = tableDef(t);
            for (std::size_t i = 0; i < d.columns.size(); ++i)
                maps[static_cast<std::size_t>(t)].insert(
                    QString::fromLatin1(d.columns[i].name).toCaseFolded(), static_cast<int>(i));
        }
        return maps;
    }();
    if (this == &tableDef(id))
        return byName[static_cast<std::size_t>(id)].value(column.toCaseFolded(), -1);
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
