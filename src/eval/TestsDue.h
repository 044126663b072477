#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariantList>
#include <memory>

namespace nerova {

class Database;

// How the office plans its tests: each pump is tested every intervalMonths after its last
// test, and a test falling due within warningDays is shown as coming.
struct DueSettings {
    static constexpr int kDefaultWarningDays = 30;
    static constexpr int kDefaultIntervalMonths = 12;
    static constexpr int kMaxWarningDays = 365;
    static constexpr int kMaxIntervalMonths = 120;

    int warningDays = kDefaultWarningDays;
    int intervalMonths = kDefaultIntervalMonths;

    // Both within 1 and their maximum; anything else (a settings file edited by hand) is
    // brought back to the nearest allowed value.
    DueSettings bounded() const;
};

enum class DueStatus { Overdue, DueSoon, Later, NeverTested };

// The stored row a latest test's verdict is judged from, kept until the verdict is wanted.
struct DueReadings {
    QVariantList row;
    qsizetype ratingsAt = 0; // where the pump's rating columns begin in the row
    qsizetype testAt = 0;    // where the test's reading columns begin
};

// One pump with its latest test and when the next one is due.
struct DuePump {
    QString companyId;
    QString locationId;
    QString pumpId;
    QString company;  // the company's name, or its identifier when it has none
    QString location; // the location's name, or its identifier when it has none
    QString serial;   // "Pump SN"
    QString contact;  // the company's contact: name, phone and e-mail
    QString phone;
    QString email;
    // The latest test on or before today; invalid when the pump has none (never tested).
    QDate lastTest;
    QString lastTestId;
    // The verdict of the latest test, as the evaluation words it; "Not tested" without one.
    // Empty until judged (judgeVerdict): judging every test of a large office takes longer
    // than reading them, so a window judges the ones it shows, when it shows them.
    QString verdict;
    std::shared_ptr<const DueReadings> readings; // until judged
    int testsAhead = 0;                          // tests dated after today: not counted as done

    // Worked out by scheduleDue from the settings and today.
    QDate due;            // a pump never tested is due today
    int daysUntilDue = 0; // negative when overdue
    DueStatus status = DueStatus::NeverTested;
};

enum class DueReading {
    WithVerdicts, // every column the verdict of the latest test needs
    DatesOnly     // only the dates: enough to count what is due
};

// Every pump the main window can reach, with its latest test, in key order, read with one
// statement; WithVerdicts, with what its verdict is judged from. The due dates are not set
// yet (scheduleDue). Throws EngineError when the tables cannot be read.
QList<DuePump> readPumpsDue(Database& db, const QDate& today,
                            DueReading reading = DueReading::WithVerdicts);

// Judges the pump's latest test with the evaluation, unless that was done; afterwards the
// verdict is set and the readings are let go.
void judgeVerdict(DuePump& pump);
void judgeVerdicts(QList<DuePump>& pumps);

// Sets due date, days until due and status of each pump. A test is due intervalMonths after
// the last one (the 31st of a shorter month gives its last day); it is overdue from the day
// after its due date and due soon from warningDays before it.
void scheduleDue(QList<DuePump>& pumps, const DueSettings& settings, const QDate& today);

// "Overdue", "Due within 30 days", "Later", "Never tested".
QString dueStatusText(DueStatus status, int warningDays);

// True when the text is empty or found anywhere in the company, location, pump or serial
// number (names and identifiers), ignoring letter case.
bool dueMatches(const DuePump& pump, const QString& text);

// "3 pumps overdue, 7 due within 30 days, 2 never tested — Tests Due… (Ctrl+D)"; empty when
// no pump is overdue or due soon. Pumps never tested count in neither number.
QString dueStatusLine(const QList<DuePump>& pumps, int warningDays, const QString& shortcut);

// "ABC Paint Company, Plant 2, Pump 01". A location that is only "*" (the company's own
// site) is left out.
QString duePumpTitle(const DuePump& pump);

} // namespace nerova
