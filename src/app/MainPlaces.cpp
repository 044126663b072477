// The window's place on the desktop and the records it showed, kept from one run to the
// next in a settings file of the program's own. The 992-byte preferences file is never
// touched: its layout is shared with other copies and old files.
#include "app/MainForm.h"
#include "data/Schema.h"

#include <QSettings>
#include <QStandardPaths>

namespace nerova {

namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");

QString recordKey(const QString& column) {
    return QStringLiteral("records/") + column;
}

} // namespace

QString TMainForm1::defaultPlacesFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/nerova2002/nerova2002.conf");
}

void TMainForm1::usePlacesFile(const QString& path) {
    m_placesFile = path;
    if (path.isEmpty())
        return;
    const QSettings settings(path, QSettings::IniFormat);
    const QByteArray geometry = settings.value(kGeometryKey).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
}

void TMainForm1::rememberPlaces() {
    if (m_placesFile.isEmpty())
        return;
    QSettings settings(m_placesFile, QSettings::IniFormat);
    settings.setValue(kGeometryKey, saveGeometry());
    for (const TableId level : kRecordLevels) {
        Table& t = m_tables.table(level);
        const QString column = identifierColumn(level);
        if (t.isOpen() && !t.isEmpty())
            settings.setValue(recordKey(column), t.asString(column));
        else
            settings.remove(recordKey(column));
    }
}

void TMainForm1::restorePlaces() {
    if (m_placesFile.isEmpty())
        return;
    const QSettings settings(m_placesFile, QSettings::IniFormat);
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
