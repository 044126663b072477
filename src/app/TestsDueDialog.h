#pragma once

#include "eval/TestsDue.h"
#include "report/ReportDocument.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;

namespace nerova {

class Database;
class TestsDueModel;

// "Tests Due": every pump with its last test, its last verdict and when its next test is
// due, filtered by status and by a text, sorted by any column. A double click or Enter on a
// row closes the window with that pump chosen. The warning window and the test interval are
// changed here and kept in the program's settings file. The rows shown can be printed and
// exported as CSV or as calendar reminders.
class TestsDueDialog : public QDialog {
    Q_OBJECT
public:
    // testingCompany: the name printed on the report.
    TestsDueDialog(Database& db, const QString& testingCompany, QWidget* parent = nullptr);
    ~TestsDueDialog() override;

    // The settings as kept in the program's settings file (the defaults when none).
    static DueSettings savedSettings();
    static void saveSettings(const DueSettings& settings);

    // Reads every pump again.
    void refresh();
    TestsDueModel& model() { return *m_model; }
    DueSettings settings() const { return m_settings; }
    void setSettings(const DueSettings& settings);

    // The shown row's pump as its company, location and pump identifiers; empty until a row
    // was chosen.
    QStringList chosenPump() const { return m_chosen; }
    // Chooses the shown row and closes the window.
    void choose(int row);

    ReportDocument reportDocument() const;
    void printReport();
    // Ask for a file and write the rows shown there; an error is thrown as EngineError.
    void exportCsv();
    void exportCalendar();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyFilter();
    void settingsChanged();
    void showCounts();
    QString askFile(const QString& title, const QString& suffix, const QString& filter);

    Database& m_db;
    QString m_testingCompany;
    DueSettings m_settings;
    QDate m_today;
    QStringList m_chosen;
    TestsDueModel* m_model = nullptr;

    QCheckBox* m_overdue = nullptr;
    QCheckBox* m_dueSoon = nullptr;
    QCheckBox* m_later = nullptr;
    QCheckBox* m_never = nullptr;
    QLineEdit* m_find = nullptr;
    QTableView* m_view = nullptr;
    QLabel* m_counts = nullptr;
    QLabel* m_ahead = nullptr;
    QSpinBox* m_warning = nullptr;
    QSpinBox* m_interval = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_csv = nullptr;
    QPushButton* m_calendar = nullptr;
};

} // namespace nerova
