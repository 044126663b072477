#include "app/HistoryPage.h"

#include "app/LazyRefresh.h"
#include "controls/CommandGuard.h"
#include "data/Table.h"
#include "eval/HistoryCsv.h"
#include "print/HistoryPlot.h"
#include "print/HistoryTable.h"
#include "print/TestReportRulesFormat.h"
#include "prompt/Prompt.h"
#include "report/PdfFile.h"
#include "report/ProgramSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace nerova {

namespace {

const QString kCsvFolderKey = QStringLiteral("History/CsvFolder");

QTableWidgetItem* cell(const QString& text, Qt::Alignment align = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

HistoryPage::HistoryPage(Table& pump, QWidget* parent)
    : QWidget(parent), m_pump(pump), m_table(new QTableWidget(0, HistoryTable::ColumnCount, this)),
      m_export(new QPushButton(tr("Export CSV\u2026"), this)), m_plotSlot(new QWidget(this)),
      m_lazy(new LazyRefresh(*this, [this] { refresh(); })) {
    m_table->setObjectName(QStringLiteral("HistoryTable"));
    // The texts of the printed history, so screen and paper never disagree.
    m_table->setHorizontalHeaderLabels(HistoryTable::headers());
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_export->setObjectName(QStringLiteral("ExportCsvButton"));
    m_plotSlot->setObjectName(QStringLiteral("HistoryPlotSlot"));
    m_plotSlot->setLayout(new QVBoxLayout);
    m_plotSlot->layout()->setContentsMargins(0, 0, 0, 0);
    auto* plot = new HistoryPlot(m_plotSlot);
    plot->setObjectName(QStringLiteral("HistoryPlot"));
    m_plotSlot->layout()->addWidget(plot);
    connect(this, &HistoryPage::rowsChanged, plot, [this, plot] { plot->setRows(m_rows); });

    // The table and the plot side by side, so both keep their height on the small window.
    auto* body = new QHBoxLayout;
    body->addWidget(m_table, 3);
    body->addWidget(m_plotSlot, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_export);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    m_lazy->watch(&m_pump);
    // Tests may be saved, changed or deleted while the page is out of sight.
    m_lazy->staleWhenHidden();
    connect(m_export, &QPushButton::clicked, this, [this] { runGuarded([this] { exportCsv(); }); });
}

void HistoryPage::refresh() {
    m_lazy->refreshing();
    m_rows = pumpHistory(m_pump);
    m_table->setUpdatesEnabled(false);
    m_table->setRowCount(int(m_rows.size()));
    for (int r = 0; r < m_rows.size(); ++r) {
        const QStringList texts = HistoryTable::cells(m_rows[r]);
        for (int c = 0; c < texts.size(); ++c)
            m_table->setItem(
                r, c,
                cell(texts.at(c), HistoryTable::isFigure(c) ? Qt::AlignRight : Qt::AlignLeft));
    }
    // Sized once for the whole fill: a header that sizes itself to its contents measures
    // every row again for each cell set.
    m_table->resizeColumnsToContents();
    m_table->setUpdatesEnabled(true);
    Q_EMIT rowsChanged();
}

void HistoryPage::exportCsv() {
    if (!m_pump.isOpen() || m_pump.recNo() == 0)
        return;
    const HistoryPump pump{m_pump.asString(QStringLiteral("CompanyID")),
                           m_pump.asString(QStringLiteral("LocationID")),
                           m_pump.asString(QStringLiteral("PumpID"))};
    const QString start =
        QDir(ProgramSettings::folder(kCsvFolderKey)).filePath(defaultFileName(pump.pumpId));
    const QString path = Prompt::instance().saveFile(
        tr("Export CSV"), start, tr("CSV files (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    // Read again rather than trust the rows on screen: a test may have been saved since.
    refresh();
    writeHistoryCsv(path, pump, m_rows);
    ProgramSettings::setFolder(kCsvFolderKey, QFileInfo(path).absolutePath());
}

QString HistoryPage::defaultFileName(const QString& pumpId) {
    const QString name = safeFileName(pumpId.trimmed());
    return name.isEmpty() ? QStringLiteral("history.csv") : name + QStringLiteral(" history.csv");
}

QString HistoryPage::dateText(const QDate& date) {
    // The form the reports and the curve sheet print, so screen and paper agree.
    return date.isValid() ? TestReportRulesFormat::date(date) : QString();
}

} // namespace nerova
