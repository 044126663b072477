#pragma once

#include <QString>
#include <QtGlobal>
#include <array>
#include <vector>

namespace nerova {

// The state of an x-y graph as a set of properties, in the manner of classic charting
// controls: numbered rows of (x, y) points, series ("columns") that each draw a range of
// rows, and two axes. Column…/Axis… properties address the
// series and axis selected by setColumn() and setAxis().
//
// This class holds data only; GraphPainter draws it and TFlpGrf shows and prints it. Every
// setter calls changed(), which the window overrides to redraw.
class GraphProperties {
public:
    // Line types of a series.
    static constexpr int kNotDrawn = 0;
    static constexpr int kStraight = 1; // straight segments between the points
    static constexpr int kPointsOnly = 5;
    static constexpr int kSmooth = 7; // a smooth curve through the points

    // Axis scale functions.
    static constexpr int kLinear = 0;
    static constexpr int kPower = 2; // position proportional to value ^ AxisFunctionVar

    static constexpr int kMaxSeries = 16;
    static constexpr int kMaxRows = 1000;

    struct Series {
        int axis = 0;
        int type = kNotDrawn;
        int pattern = 0;
        int style = 0; // point marker; 0 none
        int labels = 0;
        int rowStart = 0;
        int rowEnd = 0;
        quint32 color = 0; // red + 256 * green + 65536 * blue
        QString legend;
    };

    struct Axis {
        QString title;
        bool grid = false;
        int gridPattern = 0;
        bool scaleManual = false;
        double scaleMin = 0.0;
        int function = kLinear;
        double functionVar = 1.0;
    };

    struct Row {
        double x = 0.0;
        double y = 0.0;
        bool hasX = false;
        bool hasY = false;
        bool isPoint() const { return hasX && hasY; }
    };

    GraphProperties() = default;
    virtual ~GraphProperties() = default;
    GraphProperties(const GraphProperties&) = default;
    GraphProperties& operator=(const GraphProperties&) = default;

    // Starts again with `count` series (0 … count - 1) at their defaults and no data.
    void setDataInit(int count);
    int dataInit() const { return m_seriesCount; }
    // Shows series 0 … count - 1, keeping every series' settings and the data: a series
    // prepared beyond the count is shown or left out without building the sheet again.
    void setSeriesCount(int count);

    void setGraphType(int type);
    int graphType() const { return m_graphType; }
    // Right edge of the plot area in percent of the width.
    void setGraphAreaRight(double percent);
    double graphAreaRight() const { return m_graphAreaRight; }
    // Lines of the title joined by ";".
    void setGraphTitle(const QString& title);
    QString graphTitle() const { return m_graphTitle; }
    // One line in regular type under the title (the pump's rating).
    void setGraphSubtitle(const QString& subtitle);
    QString graphSubtitle() const { return m_graphSubtitle; }
    void setGraphOverlap(int overlap);
    int graphOverlap() const { return m_graphOverlap; }
    void setLegendColumns(int columns);
    int legendColumns() const { return m_legendColumns; }

    // The series the Column… properties address.
    void setColumn(int column);
    int column() const { return m_column; }
    void setColumnAxis(int axis);
    int columnAxis() const { return current().axis; }
    void setColumnType(int type);
    int columnType() const { return current().type; }
    void setColumnPattern(int pattern);
    int columnPattern() const { return current().pattern; }
    void setColumnStyle(int style);
    int columnStyle() const { return current().style; }
    void setColumnLabels(int labels);
    int columnLabels() const { return current().labels; }
    void setColumnRowStart(int row);
    int columnRowStart() const { return current().rowStart; }
    void setColumnRowEnd(int row);
    int columnRowEnd() const { return current().rowEnd; }
    void setColumnColor(quint32 rgb);
    quint32 columnColor() const { return current().color; }
    void setColumnLegend(const QString& legend);
    QString columnLegend() const { return current().legend; }

    // The axis the Axis… properties address: 0 x, 1 y.
    void setAxis(int axis);
    int axis() const { return m_axis; }
    void setAxisTitle(const QString& title);
    QString axisTitle() const { return currentAxis().title; }
    void setAxisGrid(bool on);
    bool axisGrid() const { return currentAxis().grid; }
    void setAxisGridPattern(int pattern);
    int axisGridPattern() const { return currentAxis().gridPattern; }
    void setAxisScaleManual(bool on);
    bool axisScaleManual() const { return currentAxis().scaleManual; }
    void setAxisScaleMin(double value);
    double axisScaleMin() const { return currentAxis().scaleMin; }
    void setAxisFunction(int function);
    int axisFunction() const { return currentAxis().function; }
    void setAxisFunctionVar(double exponent);
    double axisFunctionVar() const { return currentAxis().functionVar; }

    // 0 the printer's usual (portrait) orientation, 1 landscape.
    void setPrintOrientation(int orientation);
    int printOrientation() const { return m_printOrientation; }
    // -1 draft … -4 high; 0 leaves the printer's resolution alone.
    void setPrintQuality(int quality);
    int printQuality() const { return m_printQuality; }

    // One coordinate of a row's point: position 0 x, 1 y. Rows run from 1.
    void setDataValue(int row, int position, double value);
    double dataValue(int row, int position) const;

    // Direct reading for the painter and for checks.
    int seriesCount() const { return m_seriesCount; }
    const Series& series(int column) const;
    const Axis& axisAt(int axis) const;
    const Row& row(int row) const;
    // The points a series draws, in row order: rows start … end that hold both coordinates.
    std::vector<Row> seriesPoints(int column) const;

protected:
    virtual void changed() {}

private:
    Series& current();
    const Series& current() const;
    Axis& currentAxis();
    const Axis& currentAxis() const;

    int m_seriesCount = 0;
    int m_graphType = 0;
    double m_graphAreaRight = 100.0;
    QString m_graphTitle;
    QString m_graphSubtitle;
    int m_graphOverlap = 0;
    int m_legendColumns = 1;
    int m_column = 0;
    int m_axis = 0;
    int m_printOrientation = 0;
    int m_printQuality = 0;
    std::array<Series, kMaxSeries> m_series{};
    std::array<Axis, 2> m_axes{};
    std::vector<Row> m_rows = std::vector<Row>(kMaxRows + 1);
};

} // namespace nerova
