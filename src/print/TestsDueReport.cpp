#include "print/TestsDueReport.h"

#include "print/TestReportRulesFormat.h"
#include "print/TestReportRulesFrame.h"
#include "report/ReportLayout.h"
#include "report/ReportMetrics.h"
#include "report/ReportPreview.h"

#include <QPrintPreviewDialog>
#include <algorithm>

namespace nerova {

namespace {

constexpr double kPointSize = 10.0;
// Left edge and width of each column: location, pump, last test, due, days, status.
constexpr double kColumnX[] = {0.0, 52.0, 84.0, 110.0, 136.0, 152.0};
constexpr double kColumnWidth[] = {50.0, 30.0, 24.0, 24.0, 12.0, 38.5};
constexpr int kDaysColumn = 4;

ReportRow tableRow(const QStringList& texts, bool bold) {
    const ReportFont font = ReportFont::arial(kPointSize, bold);
    ReportRow row;
    row.height = ReportMetrics::lineHeight(font);
    for (int c = 0; c < texts.size(); ++c)
        row.add(ReportItem::caption(kColumnX[c], kColumnWidth[c], texts.at(c),
                                    c == kDaysColumn ? Qt::AlignRight : Qt::AlignLeft, font));
    return row;
}

ReportRow pageHeader(double width, const QString& testingCompany, const QDate& today) {
    return TestReportRulesFrame::pageHeader(
        width, QStringLiteral("TESTS DUE"), testingCompany,
        QStringLiteral("As of ") + TestReportRulesFormat::date(today), false);
}

QString contactLine(const DuePump& p) {
    QStringList parts;
    if (!p.contact.trimmed().isEmpty())
        parts << QStringLiteral("Contact: ") + p.contact.trimmed();
    if (!p.phone.trimmed().isEmpty())
        parts << QStringLiteral("Phone: ") + p.phone.trimmed();
    return parts.join(QStringLiteral("    "));
}

QStringList cells(const DuePump& p, int warningDays) {
    const bool never = p.status == DueStatus::NeverTested;
    return {p.location,
            p.pumpId,
            never ? QString() : TestReportRulesFormat::date(p.lastTest),
            never ? QStringLiteral("Now") : TestReportRulesFormat::date(p.due),
            QString::number(p.daysUntilDue),
            dueStatusText(p.status, warningDays)};
}

} // namespace

ReportDocument TestsDueReport::build(const QList<DuePump>& pumps, const QDate& today,
                                     int warningDays, const QString& testingCompany) {
    ReportDocument doc;
    const double width = doc.page.bodyWidth();
    doc.header = pageHeader(width, testingCompany, today);
    doc.footer = TestReportRulesFrame::pageFooter(width, testingCompany, true);

    // Companies by name; each company's pumps keep the order they were given in.
    QList<const DuePump*> ordered;
    ordered.reserve(pumps.size());
    for (const DuePump& p : pumps)
        ordered << &p;
    std::stable_sort(ordered.begin(), ordered.end(), [](const DuePump* a, const DuePump* b) {
        const int byName = a->company.compare(b->company, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a->companyId < b->companyId;
    });
    const QStringList headers = {QStringLiteral("Location"),  QStringLiteral("Pump"),
                                 QStringLiteral("Last Test"), QStringLiteral("Due"),
                                 QStringLiteral("Days"),      QStringLiteral("Status")};
    for (qsizetype i = 0; i < ordered.size();) {
        const DuePump& first = *ordered[i];
        ReportSection section = TestReportRulesFrame::section(
            first.company, true, ReportSection::Keep::HeadingWithFirstRow, doc.sections.isEmpty());
        const QString contact = contactLine(first);
        if (!contact.isEmpty()) {
            ReportRow row = tableRow({contact}, false);
            row.items[0].width = width;
            section.heading << row;
        }
        ReportRow titles = tableRow(headers, true);
        titles.add(ReportItem::line(0, titles.height, width, 0));
        titles.height += 1.0;
        section.heading << titles;
        for (; i < ordered.size() && ordered[i]->companyId == first.companyId; ++i)
            section.rows << tableRow(cells(*ordered[i], warningDays), false);
        doc.sections << section;
    }
    if (pumps.isEmpty()) {
        ReportSection none =
            TestReportRulesFrame::section(QString(), false, ReportSection::Keep::None, true);
        ReportRow row = tableRow({QStringLiteral("No pumps to show.")}, false);
        row.items[0].width = width;
        none.rows << row;
        doc.sections << none;
    }
    return doc;
}

QString TestsDueReport::pdfName(const QDate& today) {
    return QStringLiteral("Tests Due %1.pdf").arg(today.toString(Qt::ISODate));
}

void TestsDueReport::preview(const ReportDocument& document, const QDate& today, QWidget* parent) {
    ReportPreview preview(ReportLayout::layOut(document));
    preview.setPdfName(pdfName(today));
    QObject::connect(&preview, &ReportPreview::printingComplete, &preview, [&preview] {
        if (preview.dialog())
            preview.dialog()->accept();
    });
    preview.exec(parent);
}

} // namespace nerova
