#include "print/HistoryReport.h"

#include "data/Table.h"
#include "prefs/PreferencesRecord.h"
#include "print/DetailReportRows.h"
#include "print/HistoryPlot.h"
#include "print/HistoryTable.h"
#include "print/TestReportFeed.h"
#include "print/TestReportFeedSource.h"
#include "print/TestReportRulesFrame.h"
#include "report/PdfFile.h"
#include "report/ReportLayout.h"
#include "report/ReportMetrics.h"
#include "report/ReportPreview.h"

#include <QPrintPreviewDialog>
#include <QWidget>

namespace nerova {

namespace {

constexpr double kPointSize = 10.0;
constexpr double kPlotHeight = 95.0;
// Left edge and width of each column; the figures are right-aligned in theirs. The test
// record has no column: it is the second line of its test, under the identifier.
constexpr double kColumnX[] = {0.0, 28.0, 68.0, 93.0, 118.0, 143.0, 168.0};
constexpr double kColumnWidth[] = {27.0, 39.0, 22.0, 22.0, 22.0, 18.0, 22.5};
constexpr int kTableColumns = HistoryTable::Record;

ReportRow tableRow(const QStringList& texts, bool bold) {
    const ReportFont font = ReportFont::arial(kPointSize, bold);
    ReportRow row;
    row.height = ReportMetrics::lineHeight(font);
    for (int c = 0; c < texts.size() && c < kTableColumns; ++c)
        row.add(ReportItem::caption(kColumnX[c], kColumnWidth[c], texts.at(c),
                                    HistoryTable::isFigure(c) ? Qt::AlignRight : Qt::AlignLeft,
                                    font));
    return row;
}

// The test's record line under its row, wrapped within the table.
ReportRow recordRow(const QString& text, double width) {
    ReportRow row;
    row.height = 0.0;
    row.printed = !text.isEmpty();
    row.add(ReportItem::memo(kColumnX[HistoryTable::Test], width - kColumnX[HistoryTable::Test],
                             text, ReportFont::arial(kPointSize - 1.0)));
    return row;
}

ReportRow pageHeader(double width, const QString& party, const QString& pumpId) {
    return TestReportRulesFrame::pageHeader(width, QStringLiteral("PUMP HISTORY"), party,
                                            QStringLiteral("Pump ") + pumpId, false);
}

} // namespace

ReportDocument HistoryReport::build(const TestReportFeed& feed, const QList<HistoryRow>& rows,
                                    const QString& testingCompany) {
    ReportDocument doc;
    const double width = doc.page.bodyWidth();
    const Table& pump = feed.pump();
    doc.header = pageHeader(width, feed.headingPartyName(), pump.asString("PumpID"));
    doc.footer = TestReportRulesFrame::pageFooter(width, testingCompany, true);

    ReportSection pumpSection = TestReportRulesFrame::section(QStringLiteral("Pump"), true,
                                                              ReportSection::Keep::Whole, true);
    pumpSection.rows << DetailReportRows::pumpMaker(pump);
    pumpSection.rows << DetailReportRows::rating(pump, DetailReportRows::kPumpValueX);
    doc.sections << pumpSection;

    ReportSection table = TestReportRulesFrame::section(QStringLiteral("Tests"), true,
                                                        ReportSection::Keep::HeadingWithFirstRow);
    ReportRow titles = tableRow(HistoryTable::headers(), true);
    titles.add(ReportItem::line(0, titles.height, width, 0));
    titles.height += 1.0;
    table.heading << titles;
    for (const HistoryRow& row : rows) {
        const QStringList cells = HistoryTable::cells(row);
        table.rows << tableRow(cells, false);
        table.rows.last().keepWithNext = !row.testRecord.isEmpty();
        table.rows << recordRow(cells.at(HistoryTable::Record), width);
    }
    if (rows.isEmpty())
        table.rows << tableRow({QStringLiteral("No tests of this pump.")}, false);
    doc.sections << table;

    ReportSection plot = TestReportRulesFrame::section(QStringLiteral("Share of the Baseline"),
                                                       true, ReportSection::Keep::Whole);
    ReportRow picture;
    picture.height = kPlotHeight;
    picture.add(ReportItem::drawing(0, 0, width, kPlotHeight,
                                    [rows](QPainter& painter, const QRectF& area) {
                                        HistoryPlot::paint(painter, area, rows);
                                    }));
    plot.rows << picture;
    ReportRow note;
    note.add(ReportItem::memo(
        0, width,
        QStringLiteral("Corrected net pressure as a share of the baseline curve, read on each "
                       "test's curve at 100 % and 150 % of rated flow. Tests without a date "
                       "are listed last and left out of the plot."),
        ReportFont::arial(kPointSize)));
    plot.rows << note;
    doc.sections << plot;
    return doc;
}

HistoryReportHolder::HistoryReportHolder(Database& db, const PreferencesRecord& preferences,
                                         QWidget* parent)
    : QObject(parent), m_parentWidget(parent), m_preferences(preferences),
      m_feed(std::make_unique<TestReportFeed>(db, TableId::Test)) {}

HistoryReportHolder::~HistoryReportHolder() = default;

bool HistoryReportHolder::position(const QStringList& ids) {
    // No test is looked for, so a pump without tests has its (empty) history too; found
    // means the three cursors stand on the rows asked for.
    m_feed->position(ids.mid(0, 3));
    const Table* tables[] = {&m_feed->company(), &m_feed->location(), &m_feed->pump()};
    m_found = true;
    for (int i = 0; i < 3; ++i)
        m_found = m_found && tables[i]->recNo() > 0 &&
                  tables[i]
                          ->asString(identifierColumn(levelAt(i)))
                          .compare(ids.value(i), Qt::CaseInsensitive) == 0;
    m_rows = m_found ? pumpHistory(m_feed->pump()) : QList<HistoryRow>();
    return m_found;
}

ReportDocument HistoryReportHolder::document() const {
    const TestReportFeedSource source(m_preferences, false);
    return HistoryReport::build(*m_feed, m_rows,
                                source.fieldAsString(QStringLiteral("TestingCompanyName")));
}

QVector<ReportPage> HistoryReportHolder::pages() const {
    return ReportLayout::layOut(document());
}

QString HistoryReportHolder::pdfName() const {
    QString name = m_feed->company().asString(QStringLiteral("Name"));
    if (name.trimmed().isEmpty())
        name = m_feed->company().asString(QStringLiteral("CompanyID"));
    return PdfFile::proposedName(name, m_feed->pump().asString(QStringLiteral("PumpID")), {},
                                 QStringLiteral("Pump History"));
}

void HistoryReportHolder::preview() {
    ReportPreview preview(pages());
    preview.setPdfName(pdfName());
    m_preview = &preview;
    // A print from the preview ends it, as with the other reports.
    connect(&preview, &ReportPreview::printingComplete, this, [this] {
        if (m_preview && m_preview->dialog())
            m_preview->dialog()->accept();
    });
    preview.exec(m_parentWidget);
    m_preview = nullptr;
}

} // namespace nerova
