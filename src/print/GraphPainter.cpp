#include "print/GraphPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace nerova {

namespace {

QColor toColor(quint32 rgb) {
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

Qt::PenStyle lineStyle(int pattern) {
    switch (pattern) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

double power(double value, double exponent) {
    const double magnitude = std::pow(std::abs(value), exponent);
    return value < 0 ? -magnitude : magnitude;
}

QString tickText(double value) {
    if (std::abs(value) < 1e-9)
        value = 0.0;
    return QString::number(value, 'g', 12);
}

QFont sheetFont(double pixelSize, bool bold = false) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    font.setBold(bold);
    return font;
}

// Point markers: the open shapes for the test curves, the filled ones and crosses for
// everything else, so that curves stay apart even on a black-and-white printer.
void drawMarker(QPainter& p, int style, QPointF c, double size, const QColor& color) {
    if (style <= 0)
        return;
    const double h = size / 2.0;
    p.save();
    QPen pen(color);
    pen.setWidthF(std::max(1.0, size / 6.0));
    pen.setStyle(Qt::SolidLine);
    p.setPen(pen);
    const bool filled = style >= 4 && style <= 7;
    p.setBrush(filled ? QBrush(color) : Qt::NoBrush);
    const QRectF box(c.x() - h, c.y() - h, size, size);
    const QPolygonF diamond{
        {c.x(), c.y() - h}, {c.x() + h, c.y()}, {c.x(), c.y() + h}, {c.x() - h, c.y()}};
    const QPolygonF up{{c.x(), c.y() - h}, {c.x() + h, c.y() + h}, {c.x() - h, c.y() + h}};
    const QPolygonF down{{c.x(), c.y() + h}, {c.x() + h, c.y() - h}, {c.x() - h, c.y() - h}};
    switch (style) {
    case 1:
        p.drawLine(QPointF(c.x() - h, c.y()), QPointF(c.x() + h, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - h), QPointF(c.x(), c.y() + h));
        break;
    case 2:
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.bottomLeft(), box.topRight());
        break;
    case 3:
        p.drawLine(QPointF(c.x() - h, c.y()), QPointF(c.x() + h, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - h), QPointF(c.x(), c.y() + h));
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.bottomLeft(), box.topRight());
        break;
    case 4:
    case 11:
        p.drawRect(box);
        break;
    case 6:
    case 9:
        p.drawPolygon(diamond);
        break;
    case 7:
    case 10:
        p.drawPolygon(up);
        break;
    case 8:
        p.drawPolygon(down);
        break;
    default: // 5 filled, 12 and anything else open
        p.drawEllipse(box);
        break;
    }
    p.restore();
}

} // namespace

QPainterPath GraphPainter::smoothPath(const QList<QPointF>& pts) {
    QPainterPath path;
    if (pts.isEmpty())
        return path;
    path.moveTo(pts.first());
    // Runs of rising x are curved; a step back or straight up (two readings at one flow)
    // is drawn as a straight line between them.
    qsizetype start = 0;
    const qsizetype n = pts.size();
    while (start + 1 < n) {
        qsizetype end = start + 1;
        while (end < n && pts[end].x() > pts[end - 1].x())
            ++end;
        // pts[start .. end-1] rise in x.
        const qsizetype count = end - start;
        if (count < 2) {
            path.lineTo(pts[end]);
            start = end;
            continue;
        }
        QList<double> h;
        QList<double> d;
        for (qsizetype i = start; i + 1 < end; ++i) {
            h << pts[i + 1].x() - pts[i].x();
            d << (pts[i + 1].y() - pts[i].y()) / h.last();
        }
        // Fritsch-Carlson slopes: the secant at either end, a weighted harmonic mean of
        // the two secants inside, and flat wherever the secants change direction. The
        // cubic of each segment then never leaves the range of its two points, so a
        // falling pump curve never rises between uneven points.
        QList<double> m(count, 0.0);
        m[0] = d.first();
        m[count - 1] = d.last();
        for (qsizetype k = 1; k + 1 < count; ++k) {
            const double d0 = d[k - 1];
            const double d1 = d[k];
            if (d0 * d1 <= 0.0)
                continue;
            const double w0 = 2.0 * h[k] + h[k - 1];
            const double w1 = h[k] + 2.0 * h[k - 1];
            m[k] = (w0 + w1) / (w0 / d0 + w1 / d1);
        }
        for (qsizetype k = 0; k + 1 < count; ++k) {
            const QPointF& a = pts[start + k];
            const QPointF& b = pts[start + k + 1];
            const double third = h[k] / 3.0;
            path.cubicTo(a + QPointF(third, m[k] * third), b - QPointF(third, m[k + 1] * third), b);
        }
        start = end - 1;
        if (end < n) {
            path.lineTo(pts[end]);
            start = end;
        }
    }
    return path;
}

double GraphPainter::Scale::position(double value) const {
    const double e = function == GraphProperties::kPower ? exponent : 1.0;
    const double lo = power(min, e);
    const double hi = power(max, e);
    if (hi <= lo)
        return 0.0;
    return (power(value, e) - lo) / (hi - lo);
}

double GraphPainter::niceStep(double range, int target) {
    if (!(range > 0.0) || !std::isfinite(range))
        return 1.0;
    const double rough = range / std::max(target, 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const double norm = rough / magnitude;
    const double factor = norm < 1.5 ? 1.0 : norm < 3.0 ? 2.0 : norm < 7.0 ? 5.0 : 10.0;
    return factor * magnitude;
}

QList<double> GraphPainter::niceTicks(double min, double max, int target) {
    QList<double> ticks;
    const double step = niceStep(max - min, target);
    const double first = std::ceil(min / step - 1e-9) * step;
    for (int i = 0; i < 1000; ++i) {
        const double v = first + i * step;
        if (v > max + step * 1e-9)
            break;
        ticks << (std::abs(v) < step * 1e-9 ? 0.0 : v);
    }
    return ticks;
}

bool GraphPainter::seriesDrawn(int column) const {
    const GraphProperties::Series& s = m_graph.series(column);
    return column < m_graph.seriesCount() && s.axis != 0 && s.type != GraphProperties::kNotDrawn;
}

GraphPainter::Scale GraphPainter::scale(int axis) const {
    const GraphProperties::Axis& a = m_graph.axisAt(axis);
    Scale sc;
    sc.function = a.function;
    sc.exponent = a.functionVar;

    bool any = false;
    double lo = 0.0;
    double hi = 0.0;
    for (int c = 1; c < m_graph.seriesCount(); ++c) {
        if (!seriesDrawn(c))
            continue;
        for (const GraphProperties::Row& r : m_graph.seriesPoints(c)) {
            const double v = axis == 0 ? r.x : r.y;
            lo = any ? std::min(lo, v) : v;
            hi = any ? std::max(hi, v) : v;
            any = true;
        }
    }
    // Flows and pressures are counted from zero unless something lies below it.
    double min = a.scaleManual ? a.scaleMin : std::min(0.0, lo);
    if (!a.scaleManual && min < 0.0)
        min = std::floor(min / niceStep(hi - min)) * niceStep(hi - min);
    if (!any || hi <= min)
        hi = min + 100.0;
    const double step = niceStep(hi - min);
    double max = std::ceil(hi / step - 1e-9) * step;
    // A little room above the highest point so it never sits on the frame.
    if (max - hi < step * 0.05)
        max += step;
    sc.min = min;
    sc.max = max;
    sc.ticks = niceTicks(min, max);
    return sc;
}

void GraphPainter::paint(QPainter& p, const QRectF& area) const {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillRect(area, Qt::white);

    const double base = std::max(6.0, std::min(area.height() / 55.0, area.width() / 45.0));
    const double margin = base;
    const double lineWidth = std::max(1.0, base / 8.0);
    const QFont titleFont = sheetFont(base * 1.3, true);
    const QFont textFont = sheetFont(base);
    const QFontMetricsF titleMetrics(titleFont, p.device());
    const QFontMetricsF textMetrics(textFont, p.device());

    // Title lines at the top.
    double top = area.top() + margin;
    const QStringList titleLines = m_graph.graphTitle().isEmpty()
                                       ? QStringList()
                                       : m_graph.graphTitle().split(QLatin1Char(';'));
    p.setPen(Qt::black);
    p.setFont(titleFont);
    for (const QString& line : titleLines) {
        const QRectF r(area.left(), top, area.width(), titleMetrics.height());
        p.drawText(r, Qt::AlignHCenter | Qt::AlignVCenter, line);
        top += titleMetrics.height() * 1.1;
    }
    if (!m_graph.graphSubtitle().isEmpty()) {
        p.setFont(textFont);
        const QRectF r(area.left(), top, area.width(), textMetrics.height());
        p.drawText(r, Qt::AlignHCenter | Qt::AlignVCenter, m_graph.graphSubtitle());
        top += textMetrics.height() * 1.2;
    }
    top += base * 0.5;

    // Legend entries at the bottom.
    QList<int> legendSeries;
    for (int c = 1; c < m_graph.seriesCount(); ++c) {
        if (!m_graph.series(c).legend.isEmpty())
            legendSeries << c;
    }
    const int legendColumns = m_graph.legendColumns();
    const int legendRows = legendColumns > 0 && !legendSeries.isEmpty()
                               ? int((legendSeries.size() + legendColumns - 1) / legendColumns)
                               : 0;
    const double legendRowHeight = textMetrics.height() * 1.4;
    const double legendHeight = legendRows * legendRowHeight;

    const GraphProperties::Axis& xAxis = m_graph.axisAt(0);
    const GraphProperties::Axis& yAxis = m_graph.axisAt(1);
    const Scale xs = xScale();
    const Scale ys = yScale();

    double yLabelWidth = 0.0;
    for (double t : ys.ticks)
        yLabelWidth = std::max(yLabelWidth, textMetrics.horizontalAdvance(tickText(t)));
    const double yTitleWidth = yAxis.title.isEmpty() ? 0.0 : textMetrics.height() * 1.3;
    const double xTitleHeight = xAxis.title.isEmpty() ? 0.0 : textMetrics.height() * 1.3;

    const double left = area.left() + margin + yTitleWidth + yLabelWidth + base * 0.6;
    const double right = std::max(
        left + base, area.left() + area.width() * m_graph.graphAreaRight() / 100.0 - margin);
    const double bottom =
        std::max(top + base, area.bottom() - margin - legendHeight - (legendRows ? base : 0.0) -
                                 xTitleHeight - textMetrics.height() * 1.3);
    const QRectF plot(QPointF(left, top), QPointF(right, bottom));

    auto toPoint = [&](double x, double y) {
        return QPointF(plot.left() + xs.position(x) * plot.width(),
                       plot.bottom() - ys.position(y) * plot.height());
    };

    // Grid lines on the ticks.
    QPen gridPen(QColor(170, 170, 170));
    gridPen.setWidthF(std::max(1.0, lineWidth / 2.0));
    if (yAxis.grid) {
        gridPen.setStyle(yAxis.gridPattern == 1 ? Qt::DotLine : Qt::SolidLine);
        p.setPen(gridPen);
        for (double t : ys.ticks) {
            const double y = toPoint(0, t).y();
            p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        }
    }
    if (xAxis.grid) {
        gridPen.setStyle(xAxis.gridPattern == 1 ? Qt::DotLine : Qt::SolidLine);
        p.setPen(gridPen);
        for (double t : xs.ticks) {
            const double x = toPoint(t, 0).x();
            p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        }
    }

    // Frame, ticks and their labels.
    QPen axisPen(Qt::black);
    axisPen.setWidthF(lineWidth);
    p.setPen(axisPen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    p.setFont(textFont);
    const double tickLength = base * 0.4;
    for (double t : ys.ticks) {
        const double y = toPoint(0, t).y();
        p.drawLine(QPointF(plot.left() - tickLength, y), QPointF(plot.left(), y));
        const QRectF r(plot.left() - tickLength - base * 0.2 - yLabelWidth,
                       y - textMetrics.height() / 2, yLabelWidth, textMetrics.height());
        p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, tickText(t));
    }
    double lastLabelRight = -1e300;
    for (double t : xs.ticks) {
        const double x = toPoint(t, 0).x();
        p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + tickLength));
        // On a power axis the low ticks crowd together; a label that would touch the one
        // before it is left out rather than printed over it. A quarter of the text height
        // keeps two labels apart, so every label with that much room is kept (on a
        // portrait page the 200 gpm label stands that close to the 0).
        const QString text = tickText(t);
        const double w = textMetrics.horizontalAdvance(text);
        if (x - w / 2 < lastLabelRight + base * 0.25)
            continue;
        p.drawText(QRectF(x - w / 2, plot.bottom() + tickLength, w, textMetrics.height()),
                   Qt::AlignCenter, text);
        lastLabelRight = x + w / 2;
    }
    if (!xAxis.title.isEmpty()) {
        const QRectF r(plot.left(), plot.bottom() + tickLength + textMetrics.height(), plot.width(),
                       xTitleHeight);
        p.drawText(r, Qt::AlignCenter, xAxis.title);
    }
    if (!yAxis.title.isEmpty()) {
        p.save();
        p.translate(area.left() + margin + yTitleWidth / 2, plot.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-plot.height() / 2, -yTitleWidth / 2, plot.height(), yTitleWidth),
                   Qt::AlignCenter, yAxis.title);
        p.restore();
    }

    // The series, clipped to the plot area.
    const double markerSize = base * 0.7;
    p.save();
    p.setClipRect(plot.adjusted(-markerSize, -markerSize, markerSize, markerSize));
    for (int c = 1; c < m_graph.seriesCount(); ++c) {
        if (!seriesDrawn(c))
            continue;
        const GraphProperties::Series& s = m_graph.series(c);
        const QColor color = toColor(s.color);
        QList<QPointF> pts;
        for (const GraphProperties::Row& r : m_graph.seriesPoints(c))
            pts << toPoint(r.x, r.y);
        QPen pen(color);
        pen.setWidthF(lineWidth * 1.5);
        pen.setStyle(lineStyle(s.pattern));
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        if (s.type == GraphProperties::kSmooth && pts.size() > 1)
            p.drawPath(smoothPath(pts));
        else if (s.type == GraphProperties::kStraight && pts.size() > 1)
            p.drawPolyline(QPolygonF(pts));
        for (const QPointF& pt : std::as_const(pts))
            drawMarker(p, s.style, pt, markerSize, color);
    }
    p.restore();

    // Legend: a sample of each series' line and marker with its text.
    if (legendRows > 0) {
        const double legendTop = area.bottom() - margin - legendHeight;
        const double columnWidth = (right - left) / legendColumns;
        const double sample = base * 3.0;
        p.setFont(textFont);
        for (int i = 0; i < legendSeries.size(); ++i) {
            const GraphProperties::Series& s = m_graph.series(legendSeries[i]);
            const QColor color = toColor(s.color);
            const double x = left + (i % legendColumns) * columnWidth;
            const double y = legendTop + (i / legendColumns) * legendRowHeight;
            const double mid = y + legendRowHeight / 2;
            if (s.type == GraphProperties::kSmooth || s.type == GraphProperties::kStraight) {
                QPen pen(color);
                pen.setWidthF(lineWidth * 1.5);
                pen.setStyle(lineStyle(s.pattern));
                p.setPen(pen);
                p.drawLine(QPointF(x, mid), QPointF(x + sample, mid));
            }
            drawMarker(p, s.style, QPointF(x + sample / 2, mid), markerSize, color);
            p.setPen(Qt::black);
            p.drawText(
                QRectF(x + sample + base * 0.5, y, columnWidth - sample - base, legendRowHeight),
                Qt::AlignLeft | Qt::AlignVCenter, s.legend);
        }
    }
    p.restore();
}

} // namespace nerova
