#include "print/HistoryTable.h"

#include "print/TestReportRulesFormat.h"

#include <QHeaderView>
#include <QTableWidget>
#include <cmath>

namespace nerova {

namespace {

QString share(const std::optional<double>& value) {
    return value ? QString::number(*value, 'f', 1) + QStringLiteral(" %") : QString();
}

} // namespace

QStringList HistoryTable::headers() {
    return {QStringLiteral("Date"),     QStringLiteral("Test ID"), QStringLiteral("At 100 %"),
            QStringLiteral("At 150 %"), QStringLiteral("Lowest"),  QStringLiteral("Change"),
            QStringLiteral("Verdict")};
}

QStringList HistoryTable::cells(const HistoryRow& row) {
    QString change;
    if (row.change) {
        // Rounded first, so a change of -0.04 reads "0.0" and never "-0.0".
        const double rounded = std::round(*row.change * 10.0) / 10.0;
        change = (rounded > 0 ? QStringLiteral("+") : QString()) +
                 QString::number(rounded == 0 ? 0.0 : rounded, 'f', 1);
    }
    return {row.testDate.isValid() ? TestReportRulesFormat::date(row.testDate) : QString(),
            row.testId,
            share(row.atRatedFlow),
            share(row.atPeakFlow),
            share(row.lowest),
            change,
            verdictText(row.verdict)};
}

void HistoryTable::fill(QTableWidget& table, const QList<HistoryRow>& rows) {
    const QStringList titles = headers();
    table.clear();
    table.setColumnCount(int(titles.size()));
    table.setHorizontalHeaderLabels(titles);
    table.setRowCount(int(rows.size()));
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList texts = cells(rows.at(r));
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts.at(c));
            if (c >= 2 && c <= 5)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table.setItem(r, c, item);
        }
    }
    table.resizeColumnsToContents();
}

} // namespace nerova
