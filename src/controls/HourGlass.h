#pragma once

#include <QApplication>

namespace nerova {

// The wait cursor while a command that takes a moment runs; the cursor the user had comes
// back however the command ends.
struct HourGlass {
    HourGlass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~HourGlass() { QApplication::restoreOverrideCursor(); }
    HourGlass(const HourGlass&) = delete;
    HourGlass& operator=(const HourGlass&) = delete;
};

} // namespace nerova
