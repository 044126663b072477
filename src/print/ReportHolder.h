#pragma once

#include "data/Schema.h"
#include "prefs/PreferencesRecord.h"

#include "print/TestReportFeed.h"
#include "print/TestReportFeedSource.h"
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

// What the detail and summary report holders share: their own read-only cursors down to
// `deepest`, the testing company's field source, the positioning and the preview
// lifecycle. The print dialog creates a holder, positions it on the chosen test, previews
// it and then discards it; the cursors close with the holder. Only the layout differs.
class ReportHolder : public QObject {
    Q_OBJECT

public:
    ~ReportHolder() override;

    // Opens the cursors and stands them on the company, location, pump and test with these
    // identifiers; false when one of them was not found (the report then shows the rows
    // the cursors were left on).
    bool position(const QStringList& ids);

    // Whether the report carries the test's evaluation; it does unless told otherwise.
    void setIncludeEvaluation(bool on) { m_includeEvaluation = on; }
    bool includeEvaluation() const { return m_includeEvaluation; }
    // Whether the detail report ends with the test's curve sheet; it does not unless told.
    void setIncludeCurve(bool on) { m_includeCurve = on; }
    bool includeCurve() const { return m_includeCurve; }

    // The report as it would be generated now, from the positioned rows and the
    // preferences as they are at this moment.
    virtual ReportDocument document() const = 0;
    QVector<ReportPage> pages() const;
    // Writes the report as a PDF file; false when the file cannot be written.
    bool writePdf(const QString& path) const;
    // Shows the report in the modal preview, from which the user may print or save it.
    void preview();

    QVariant ppJITPipeline1GetFieldValue(const QString& name) const;
    QString ppJITPipeline1GetFieldAsString(const QString& name) const;

    const TestReportFeed& feed() const { return m_feed; }

protected:
    // printout names the proposed PDF file ("Detail Report"); letterhead: whether the
    // field source carries the whole letterhead.
    ReportHolder(Database& db, const PreferencesRecord& preferences, QWidget* parent,
                 TableId deepest, const QString& printout, bool letterhead);

    // A print started from the preview is done: the preview closes.
    void closePreview();

    // A copy: the report is laid out from the settings as they were when it was asked
    // for, and a caller's temporary record cannot go away under it.
    const PreferencesRecord m_preferences;
    // Generating the flow-point boxes moves the flow cursor; nothing else of the holder
    // changes, so a document can be asked of a const holder.
    mutable TestReportFeed m_feed;
    TestReportFeedSource m_source;
    bool m_includeEvaluation = true;
    bool m_includeCurve = false;

private:
    // Connects the preview's completed print to the holder's own handler.
    virtual void connectPrintingComplete(ReportPreview& preview) = 0;

    QWidget* m_parentWidget;
    QString m_printout;
    QPointer<ReportPreview> m_preview;
};

} // namespace nerova
