#pragma once

#include "eval/PumpHistory.h"
#include "prefs/PreferencesRecord.h"
#include "report/ReportDocument.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVector>
#include <memory>

class QWidget;

namespace nerova {

class Database;
class TestReportFeed;
class ReportPreview;
struct ReportPage;

// The history of one pump on paper: the pump, a table with one line per test in date
// order, and the plot of its shares of the baseline over the years. US Letter, header and
// footer on every page, pages numbered.
class HistoryReport {
public:
    // The feed stands on the pump; the rows are its history.
    static ReportDocument build(const TestReportFeed& feed, const QList<HistoryRow>& rows,
                                const QString& testingCompany);
};

// Holds the history report for one print request, as the print dialog's other reports are
// held: its own read-only cursors, positioned on a pump, then previewed and discarded.
class HistoryReportHolder : public QObject {
    Q_OBJECT

public:
    HistoryReportHolder(Database& db, const PreferencesRecord& preferences,
                        QWidget* parent = nullptr);
    ~HistoryReportHolder() override;

    // Stands on the company, location and pump with these identifiers (a fourth, the
    // test, is not needed) and reads the pump's history; false when the pump was not
    // found, and the report is then empty.
    bool position(const QStringList& ids);

    const QList<HistoryRow>& rows() const { return m_rows; }
    ReportDocument document() const;
    QVector<ReportPage> pages() const;
    // "Company - Pump 01 - Pump History.pdf"
    QString pdfName() const;
    // Shows the report in the modal preview, from which the user may print or save it.
    void preview();

private:
    QWidget* m_parentWidget;
    // A copy, as the other reports keep: a caller's temporary record cannot go away under it.
    const PreferencesRecord m_preferences;
    std::unique_ptr<TestReportFeed> m_feed;
    QList<HistoryRow> m_rows;
    bool m_found = false;
    QPointer<ReportPreview> m_preview;
};

} // namespace nerova
