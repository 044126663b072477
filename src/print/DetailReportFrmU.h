#pragma once

#include "prefs/PreferencesRecord.h"

#include "print/ReportFeed.h"
#include "print/ReportFeedSource.h"
#include "report/ReportDocument.h"
#include "report/ReportPage.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QVector>

class QWidget;

namespace nerova {

class Database;
class ReportPreview;

// Holds the detail report for one print request: its own read-only cursors (company,
// location, pump, test and flow) and the testing company's field source with the whole
// letterhead. The print dialog creates
// it, positions it on the chosen test, previews it and then discards it; the cursors close
// with the holder.
class TDetailReportFrm : public QObject {
    Q_OBJECT

public:
    TDetailReportFrm(Database& db, const PreferencesRecord& preferences, QWidget* parent = nullptr);
    ~TDetailReportFrm() override;

    // Opens the cursors and stands them on the company, location, pump and test with these
    // identifiers; false when one of them was not found (the report then shows the rows
    // the cursors were left on).
    bool position(const QStringList& ids);

    // Whether the report carries the test's evaluation; it does unless told otherwise.
    void setIncludeEvaluation(bool on) { m_includeEvaluation = on; }
    bool includeEvaluation() const { return m_includeEvaluation; }

    // The report as it would be generated now, from the positioned rows and the
    // preferences as they are at this moment.
    ReportDocument document() const;
    QVector<ReportPage> pages() const;
    // Writes the report as a PDF file; false when the file cannot be written.
    bool writePdf(const QString& path) const;
    // Shows the report in the modal preview, from which the user may print or save it.
    void preview();

    QVariant ppJITPipeline1GetFieldValue(const QString& name) const;
    QString ppJITPipeline1GetFieldAsString(const QString& name) const;

    const ReportFeed& feed() const { return m_feed; }

public Q_SLOTS:
    // A print started from the preview is done: the preview closes.
    void DetailReportPrintingComplete();

private:
    QWidget* m_parentWidget;
    // A copy: the report is laid out from the settings as they were when it was asked
    // for, and a caller's temporary record cannot go away under it.
    const PreferencesRecord m_preferences;
    // Generating the flow-point boxes moves the flow cursor; nothing else of the holder
    // changes, so a document can be asked of a const holder.
    mutable ReportFeed m_feed;
    ReportFeedSource m_source;
    QPointer<ReportPreview> m_preview;
    bool m_includeEvaluation = true;
};

} // namespace nerova
