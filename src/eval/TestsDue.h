#pragma once

#include <QDate>
#include <QList>
#include <QString>

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
    // Empty until judged (judgeVerdicts): reading and judging the latest test of every pump
    // of a large office takes longer than everything else the window does, so a window
    // judges the ones it shows, when it shows them.
    QString verdict;
    int testsAhead = 0; // tests dated after today: not counted as done

    bool judged() const { return !verdict.isEmpty(); }

    // Worked out by scheduleDue from the settings and today.
    QDate due;            // a pump never tested is due today
    int daysUntilDue = 0; // negative when overdue
    DueStatus status = DueStatus::NeverTested;
};

// Every pump the main window can reach, with the date and identifier of its latest test, in
// key order, read with one statement. Neither the verdicts (judgeVerdicts) nor the due dates
// (scheduleDue) are set yet. Throws EngineError when the tables cannot be read.
QList<DuePump> readPumpsDue(Database& db, const QDate& today);

// Judges the latest test of each pump not judged yet with the evaluation, reading the tests
// and their pumps' ratings kTestsByKeyBatch at a time. Throws EngineError when the tables
// cannot be read.
void judgeVerdicts(Database& db, const QList<DuePump*>& pumps);
void judgeVerdicts(Database& db, QList<DuePump>& pumps);

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
