#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>

namespace nerova {

// The alias through which the program reaches its database directory.
inline constexpr const char* kAliasName = "NRVA2002";

// Today's date. Tests replace the clock to make date rules repeatable.
QDate today();
void setTodayForTesting(std::function<QDate()> clock); // empty function restores the clock

// The present moment, for names that record when something happened; replaceable likewise.
QDateTime now();
void setNowForTesting(std::function<QDateTime()> clock);

// The working directory at start-up: the folder of the preferences file.
QString startupDirectory();
void setStartupDirectory(const QString& dir);

} // namespace nerova
