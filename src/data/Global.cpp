#include "data/Global.h"

namespace nerova {

namespace {
std::function<QDate()>& clock() {
    static std::function<QDate()> c;
    return c;
}
std::function<QDateTime()>& momentClock() {
    static std::function<QDateTime()> c;
    return c;
}
QString& startupDir() {
    static QString d;
    return d;
}
} // namespace

QDate today() {
    return clock() ? clock()() : QDate::currentDate();
}

void setTodayForTesting(std::function<QDate()> c) {
    clock() = std::move(c);
}

QDateTime now() {
    return momentClock() ? momentClock()() : QDateTime::currentDateTime();
}

void setNowForTesting(std::function<QDateTime()> c) {
    momentClock() = std::move(c);
}

QString startupDirectory() {
    return startupDir();
}

void setStartupDirectory(const QString& dir) {
    startupDir() = dir;
}

} // namespace nerova
