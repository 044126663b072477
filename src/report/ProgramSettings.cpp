#include "report/ProgramSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace nerova {

QString ProgramSettings::file() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/nerova2002/nerova2002.conf");
}

bool ProgramSettings::flag(const QString& key, bool fallback) {
    const QSettings settings(file(), QSettings::IniFormat);
    return settings.value(key, fallback).toBool();
}

void ProgramSettings::setFlag(const QString& key, bool on) {
    QSettings settings(file(), QSettings::IniFormat);
    settings.setValue(key, on);
}

int ProgramSettings::number(const QString& key, int fallback) {
    const QSettings settings(file(), QSettings::IniFormat);
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok ? value : fallback;
}

void ProgramSettings::setNumber(const QString& key, int value) {
    QSettings settings(file(), QSettings::IniFormat);
    settings.setValue(key, value);
}

QString ProgramSettings::folder(const QString& key) {
    const QSettings settings(file(), QSettings::IniFormat);
    const QString remembered = settings.value(key).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void ProgramSettings::setFolder(const QString& key, const QString& folder) {
    QSettings settings(file(), QSettings::IniFormat);
    settings.setValue(key, folder);
}

} // namespace nerova
