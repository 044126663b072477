#pragma once

#include <QString>
#include <functional>

namespace nerova {

class Database;

// What the table check and creation report while they work: the progress window's caption,
// its one label, and the hourglass. The window itself is the application's.
class TablesProgress {
public:
    virtual ~TablesProgress() = default;
    virtual void setCaption(const QString& caption) = 0;
    virtual void setLabel(const QString& text) = 0; // repaints at once
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual void setBusy(bool busy) = 0;
};

// True when the file of every table is present in the database directory: found with any
// letter case, and openable for reading and writing (a read-only file counts as missing).
bool TablesExist(Database& db, TablesProgress& progress);

// Replaces all five tables with empty ones and writes the demonstration rows. The files
// of the tables replaced are moved unchanged into one "Replaced <moment>" folder of the
// database directory (a server keeps them under other names), and the progress window's
// last text names it.
// An engine failure is shown through showError with the table's creation or filling text,
// and the result is false. Other errors propagate.
bool TablesCreate(Database& db, TablesProgress& progress,
                  const std::function<void(const QString&)>& showError);

} // namespace nerova
