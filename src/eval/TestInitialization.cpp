#include "eval/TestInitialization.h"

#include "data/Global.h"
#include "data/Table.h"
#include "eval/FlowPointColumns.h"
#include "prefs/PreferencesRecord.h"

#include <optional>

namespace nerova {

namespace {

// A two-character part of the date, blanks skipped; nothing when no digit is left or a
// character is not a digit.
std::optional<int> readPart(QStringView part) {
    int value = 0;
    int digits = 0;
    for (const QChar c : part) {
        if (c == u' ')
            continue;
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    return value;
}

struct Instrument {
    const char* typeColumn;
    const char* calDateColumn;
    QString (PreferencesRecord::*type)() const;
    QString (PreferencesRecord::*calDate)() const;
};

constexpr Instrument kInstruments[] = {
    {"Pressure Gauge Type", "Pressure Gauge Cal Date", &PreferencesRecord::pressureGaugeType,
     &PreferencesRecord::pressureGaugeCalDate},
    {"Volt Meter Type", "Volt Meter Cal Date", &PreferencesRecord::voltMeterType,
     &PreferencesRecord::voltMeterCalDate},
    {"Amp Probe Type", "Amp Probe Cal Date", &PreferencesRecord::ampProbeType,
     &PreferencesRecord::ampProbeCalDate},
    {"Tachometer Type", "Tachometer Cal Date", &PreferencesRecord::tachometerType,
     &PreferencesRecord::tachometerCalDate},
};

} // namespace

QDate readCalibrationDate(const QString& text) {
    // Positions of the parts in "mm/dd/yy"; the separators are not checked.
    if (text.size() != 8)
        return {};
    const QStringView view(text);
    const std::optional<int> month = readPart(view.mid(0, 2));
    const std::optional<int> day = readPart(view.mid(3, 2));
    const std::optional<int> year = readPart(view.mid(6, 2));
    if (!month || !day || !year)
        return {};
    const int fullYear = *year >= 50 ? 1900 + *year : 2000 + *year;
    if (!QDate::isValid(fullYear, *month, *day))
        return {};
    return QDate(fullYear, *month, *day);
}

void InitializeTest(Table& test, const PreferencesRecord& prefs) {
    // Readings start at zero so that evaluation and the reports see numbers.
    for (const QString& column : flowPointNumberColumns())
        test.setValue(column, 0.0);

    for (int n = 1; n <= PreferencesRecord::kTesterCount; ++n) {
        test.setValue(QStringLiteral("Tester%1").arg(n), prefs.tester(n));
        test.setValue(QStringLiteral("Tester%1 License").arg(n), prefs.testerLicense(n));
        test.setValue(QStringLiteral("Tester%1 State").arg(n), prefs.testerState(n));
    }

    for (const Instrument& instrument : kInstruments) {
        test.setValue(QString::fromLatin1(instrument.typeColumn), (prefs.*instrument.type)());
        const QDate calibrated = readCalibrationDate((prefs.*instrument.calDate)());
        test.setValue(QString::fromLatin1(instrument.calDateColumn),
                      calibrated.isValid() ? QVariant(calibrated) : QVariant());
    }

    test.setValue(QStringLiteral("Test Date"), today());
}

} // namespace nerova
