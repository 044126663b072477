#pragma once

#include <QDate>
#include <QString>

namespace nerova {

class PreferencesRecord;
class Table;

// Fills the new test row a Table is inserting so that the tester types nothing twice: every
// numeric flow-point column 0, the testers and instruments from the preferences, the
// instruments' calibration dates and today's date as the test date. Other columns are left
// as the insert made them. Nothing is posted. The table must be in the insert state.
void InitializeTest(Table& test, const PreferencesRecord& prefs);

// A calibration date as the preferences hold it, "mm/dd/yy" (blanks among the digits are
// ignored, years 50–99 are 1950–1999 and 00–49 are 2000–2049). A text of any other length or
// that is no real calendar date gives a null date: an instrument whose calibration date is
// unknown is printed without one rather than with a date nobody entered.
QDate readCalibrationDate(const QString& text);

} // namespace nerova
