#pragma once

#include <QDate>
#include <QString>
#include <functional>

namespace nerova {

// The alias through which the program reaches its database directory.
inline constexpr const char* kAliasName = "NRVA2002";

// Today's date. Tests replace the clock to make date rules repeatable.
QDate today();
void setTodayForTesting(std::function<QDate()> clock); // empty function restores the clock

// The working directory at start-up: the folder of the preferences file.
QString startupDirectory();
void setStartupDirectory(const QString& dir);

} // namespace nerova
