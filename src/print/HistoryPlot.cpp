#include "print/HistoryPlot.h"

#include "eval/Thresholds.h"
#include "print/GraphPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace nerova {

namespace {

const QColor kRatedColor(0, 0, 160);
const QColor kPeakColor(176, 0, 0);
const QColor kLimitColor(96, 96, 96);

// A date as a year with its fraction, so tests space out as the years do.
double yearOf(const QDate& date) {
    return date.year() + (date.dayOfYear() - 1) / double(date.daysInYear());
}

QFont plotFont(double pixelSize) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    return font;
}

} // namespace

HistoryPlot::HistoryPlot(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("HistoryPlot"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void HistoryPlot::setRows(const QList<HistoryRow>& rows) {
    m_rows = rows;
    update();
}

void HistoryPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paint(painter, QRectF(rect()), m_rows);
}

std::pair<double, double> HistoryPlot::shareRange(const QList<HistoryRow>& rows) {
    const double limit = threshold(Limit::BaselineMinimumPercent);
    double low = limit;
    double high = 100.0;
    for (const HistoryRow& r : rows) {
        for (const auto& share : {r.atRatedFlow, r.atPeakFlow}) {
            if (share && r.testDate.isValid()) {
                low = std::min(low, *share);
                high = std::max(high, *share);
            }
        }
    }
    const double step = GraphPainter::niceStep(high - low + 10.0, 6);
    return {std::floor((low - 5.0) / step) * step, std::ceil((high + 5.0) / step) * step};
}

void HistoryPlot::paint(QPainter& painter, const QRectF& area, const QList<HistoryRow>& rows) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double unit = std::min(area.width() / 60.0, area.height() / 30.0);
    const QFont font = plotFont(unit * 1.1);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    const double line = metrics.height();

    int firstYear = 0;
    int lastYear = 0;
    for (const HistoryRow& r : rows) {
        if (!r.testDate.isValid())
            continue;
        firstYear = firstYear ? std::min(firstYear, r.testDate.year()) : r.testDate.year();
        lastYear = std::max(lastYear, r.testDate.year());
    }
    if (!firstYear) {
        // A pump without a dated test still shows its frame, so an empty history reads as
        // empty rather than as a fault.
        firstYear = lastYear = QDate::currentDate().year();
    }
    const double xMin = firstYear;
    const double xMax = lastYear + 1;
    const auto [yMin, yMax] = shareRange(rows);

    const QRectF plot(area.left() + metrics.horizontalAdvance(QStringLiteral("1000 %")) + unit,
                      area.top() + line * 2.0,
                      area.width() - metrics.horizontalAdvance(QStringLiteral("1000 %")) - unit * 2,
                      area.height() - line * 4.0);
    auto at = [&](double x, double y) {
        return QPointF(plot.left() + (x - xMin) / (xMax - xMin) * plot.width(),
                       plot.bottom() - (y - yMin) / (yMax - yMin) * plot.height());
    };

    QPen pen(Qt::black);
    pen.setWidthF(unit * 0.08);
    painter.setPen(pen);
    painter.drawRect(plot);

    // Percent ticks at the left, year ticks below; years are labelled at their middle.
    for (double y : GraphPainter::niceTicks(yMin, yMax, 6)) {
        const QPointF p = at(xMin, y);
        painter.drawLine(p, p - QPointF(unit * 0.5, 0));
        painter.drawText(
            QRectF(area.left(), p.y() - line / 2, p.x() - area.left() - unit * 0.7, line),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(y, 'g', 6) + " %");
    }
    const int years = lastYear - firstYear + 1;
    const int labelStep = std::max(1, int(std::ceil(years / 12.0)));
    for (int year = firstYear; year <= lastYear + 1; ++year) {
        const QPointF p = at(year, yMin);
        painter.drawLine(p, p + QPointF(0, unit * 0.5));
        if (year <= lastYear && (year - firstYear) % labelStep == 0) {
            const QPointF mid = at(year + 0.5, yMin);
            painter.drawText(QRectF(mid.x() - unit * 5, mid.y() + unit * 0.3, unit * 10, line),
                             Qt::AlignHCenter | Qt::AlignTop, QString::number(year));
        }
    }

    const double limit = threshold(Limit::BaselineMinimumPercent);
    QPen limitPen(kLimitColor);
    limitPen.setWidthF(unit * 0.12);
    limitPen.setStyle(Qt::DashLine);
    painter.setPen(limitPen);
    painter.drawLine(at(xMin, limit), at(xMax, limit));

    auto series = [&](auto share, const QColor& color) {
        QPen seriesPen(color);
        seriesPen.setWidthF(unit * 0.15);
        painter.setPen(seriesPen);
        painter.setBrush(color);
        QPolygonF points;
        for (const HistoryRow& r : rows) {
            if (r.testDate.isValid() && share(r))
                points << at(yearOf(r.testDate), *share(r));
        }
        painter.drawPolyline(points);
        for (const QPointF& p : std::as_const(points))
            painter.drawEllipse(p, unit * 0.35, unit * 0.35);
        painter.setBrush(Qt::NoBrush);
    };
    series([](const HistoryRow& r) { return r.atRatedFlow; }, kRatedColor);
    series([](const HistoryRow& r) { return r.atPeakFlow; }, kPeakColor);

    // The legend above the plot.
    const QString limitText = QStringLiteral("%1 % limit").arg(limit);
    const std::pair<QString, QColor> legend[] = {{QStringLiteral("At 100 % flow"), kRatedColor},
                                                 {QStringLiteral("At 150 % flow"), kPeakColor},
                                                 {limitText, kLimitColor}};
    double x = plot.left();
    for (const auto& [text, color] : legend) {
        QPen keyPen(color);
        keyPen.setWidthF(unit * 0.15);
        keyPen.setStyle(text == limitText ? Qt::DashLine : Qt::SolidLine);
        painter.setPen(keyPen);
        const double y = area.top() + line * 0.8;
        painter.drawLine(QPointF(x, y), QPointF(x + unit * 3, y));
        painter.setPen(Qt::black);
        x += unit * 3.5;
        painter.drawText(QPointF(x, y + metrics.ascent() / 2 - unit * 0.1), text);
        x += metrics.horizontalAdvance(text) + unit * 2.5;
    }
    painter.restore();
}

} // namespace nerova
