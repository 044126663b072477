#pragma once

#include "eval/TestsDue.h"
#include "report/ReportDocument.h"

#include <QDate>
#include <QList>
#include <QString>

class QWidget;

namespace nerova {

// The pumps whose tests are due, on paper: one section per company (by name) with its
// contact and phone, then a line per pump in the order given with its location, pump, last
// test, due date and status. US Letter, header and numbered footer on every page.
class TestsDueReport {
public:
    static ReportDocument build(const QList<DuePump>& pumps, const QDate& today, int warningDays,
                                const QString& testingCompany);
    // "Tests Due 2026-12-10.pdf"
    static QString pdfName(const QDate& today);
    // Shows the report in the modal preview, from which it is printed or saved as PDF; a
    // print from the preview ends it.
    static void preview(const ReportDocument& document, const QDate& today, QWidget* parent);
};

} // namespace nerova
