#include "app/WindowPlacesHolder.h"

#include "data/Schema.h"
#include "data/TableChain.h"
#include "report/ProgramSettings.h"

#include <QSettings>
#include <QWidget>

namespace nerova {

namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");

QString recordKey(const QString& column) {
    return QStringLiteral("records/") + column;
}

} // namespace

WindowPlacesHolder::WindowPlacesHolder(QWidget& window, TableChain& tables)
    : m_window(window), m_tables(tables) {}

// The places live in the program's own settings file, beside its other remembered choices.
QString WindowPlacesHolder::defaultFile() {
    return ProgramSettings::file();
}

void WindowPlacesHolder::useFile(const QString& path) {
    m_file = path;
    if (path.isEmpty())
        return;
    const QSettings settings(path, QSettings::IniFormat);
    const QByteArray geometry = settings.value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty())
        m_window.restoreGeometry(geometry);
}

void WindowPlacesHolder::remember() {
    if (m_file.isEmpty())
        return;
    QSettings settings(m_file, QSettings::IniFormat);
    settings.setValue(kGeometryKey, m_window.saveGeometry());
    for (const TableId level : kRecordLevels) {
        Table& t = m_tables.table(level);
        const QString column = identifierColumn(level);
        if (t.isOpen() && !t.isEmpty())
            settings.setValue(recordKey(column), t.asString(column));
        else
            settings.remove(recordKey(column));
    }
}

void WindowPlacesHolder::restoreRecords() {
    if (m_file.isEmpty())
        return;
    const QSettings settings(m_file, QSettings::IniFormat);
    // Level by level; a record that no longer exists leaves its level, and those below it,
    // on their first record.
    for (const TableId level : kRecordLevels) {
        Table& t = m_tables.table(level);
        const QString column = identifierColumn(level);
        const QVariant id = settings.value(recordKey(column));
        if (!id.isValid() || !t.isOpen() || !t.locate({column}, {id.toString()}))
            return;
    }
}

} // namespace nerova
