#include "print/ReportHolder.h"

#include "report/ReportLayout.h"
#include "report/ReportPainter.h"
#include "report/ReportPreview.h"

#include <QPrintPreviewDialog>
#include <QWidget>

namespace nerova {

ReportHolder::ReportHolder(Database& db, const PreferencesRecord& preferences, QWidget* parent,
                           TableId deepest, const QString& printout, bool letterhead)
    : QObject(parent), m_preferences(preferences), m_feed(db, deepest),
      m_source(m_preferences, letterhead), m_parentWidget(parent), m_printout(printout) {}

ReportHolder::~ReportHolder() = default;

bool ReportHolder::position(const QStringList& ids) {
    return m_feed.position(ids);
}

QVector<ReportPage> ReportHolder::pages() const {
    return ReportLayout::layOut(document());
}

bool ReportHolder::writePdf(const QString& path) const {
    return ReportPainter(pages()).writePdf(path);
}

void ReportHolder::preview() {
    ReportPreview preview(pages());
    preview.setPdfName(m_feed.pdfName(m_printout));
    m_preview = &preview;
    connectPrintingComplete(preview);
    preview.exec(m_parentWidget);
    m_preview = nullptr;
}

void ReportHolder::closePreview() {
    if (m_preview && m_preview->dialog())
        m_preview->dialog()->accept();
}

QVariant ReportHolder::ppJITPipeline1GetFieldValue(const QString& name) const {
    return m_source.fieldValue(name);
}

QString ReportHolder::ppJITPipeline1GetFieldAsString(const QString& name) const {
    return m_source.fieldAsString(name);
}

} // namespace nerova
