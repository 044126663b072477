#include "report/ProgramSettings.h"

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

} // namespace nerova
