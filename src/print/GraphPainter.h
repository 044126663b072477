#pragma once

#include "print/GraphProperties.h"

#include <QList>
#include <QRectF>

class QPainter;
class QPainterPath;

namespace nerova {

// Draws a GraphProperties on any painter: the title lines, the plot area with its axes,
// ticks and grid, the series, and the legend below. Every size derives from the area it is
// given, so the window, the printer and a PDF show the same sheet at their own resolution.
class GraphPainter {
public:
    // The range of one axis and where its values fall.
    struct Scale {
        double min = 0.0;
        double max = 1.0;
        QList<double> ticks;
        int function = GraphProperties::kLinear;
        double exponent = 1.0;
        // 0 at min, 1 at max; on a power axis in proportion to the value raised to the
        // exponent, so a pump curve on N^1.85 paper comes out close to a straight line.
        double position(double value) const;
    };

    explicit GraphPainter(const GraphProperties& graph) : m_graph(graph) {}

    void paint(QPainter& painter, const QRectF& area) const;

    Scale xScale() const { return scale(0); }
    Scale yScale() const { return scale(1); }

    // Round tick values from min to at most max, about `target` of them, in steps of
    // 1, 2 or 5 times a power of ten.
    static QList<double> niceTicks(double min, double max, int target = 8);
    static double niceStep(double range, int target = 8);

    // The smooth line through points in the order given: a shape-preserving cubic in x,
    // so it passes through every point and never swings above or below its neighbours.
    static QPainterPath smoothPath(const QList<QPointF>& points);

private:
    Scale scale(int axis) const;
    bool seriesDrawn(int column) const;

    const GraphProperties& m_graph;
};

} // namespace nerova
