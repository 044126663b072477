#pragma once

#include "eval/PumpHistory.h"

#include <QList>
#include <QRectF>
#include <QWidget>
#include <utility>

class QPainter;

namespace nerova {

// A pump's history as a plot: the share of the baseline at the rated and at the overload
// point of every dated test over the years, with the acceptance limit as a dashed line.
// The same drawing serves the window and the printed history, at any resolution.
class HistoryPlot : public QWidget {
    Q_OBJECT

public:
    explicit HistoryPlot(QWidget* parent = nullptr);

    void setRows(const QList<HistoryRow>& rows);
    const QList<HistoryRow>& rows() const { return m_rows; }

    // Draws the plot into area; every size derives from the area.
    static void paint(QPainter& painter, const QRectF& area, const QList<HistoryRow>& rows);

    // The share range the plot shows: the limit and every share, with room around them.
    static std::pair<double, double> shareRange(const QList<HistoryRow>& rows);

    QSize sizeHint() const override { return {480, 260}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<HistoryRow> m_rows;
};

} // namespace nerova
