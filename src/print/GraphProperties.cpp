#include "print/GraphProperties.h"

#include <algorithm>

namespace nerova {

void GraphProperties::setDataInit(int count) {
    m_seriesCount = std::clamp(count, 0, kMaxSeries);
    m_series.fill(Series{});
    std::fill(m_rows.begin(), m_rows.end(), Row{});
    m_column = 0;
    changed();
}

void GraphProperties::setSeriesCount(int count) {
    m_seriesCount = std::clamp(count, 0, kMaxSeries);
    changed();
}

void GraphProperties::setGraphType(int type) {
    m_graphType = type;
    changed();
}

void GraphProperties::setGraphAreaRight(double percent) {
    m_graphAreaRight = std::clamp(percent, 10.0, 100.0);
    changed();
}

void GraphProperties::setGraphTitle(const QString& title) {
    m_graphTitle = title;
    changed();
}

void GraphProperties::setGraphSubtitle(const QString& subtitle) {
    m_graphSubtitle = subtitle;
    changed();
}

void GraphProperties::setGraphOverlap(int overlap) {
    m_graphOverlap = overlap;
    changed();
}

void GraphProperties::setLegendColumns(int columns) {
    m_legendColumns = std::max(columns, 0);
    changed();
}

void GraphProperties::setColumn(int column) {
    m_column = std::clamp(column, 0, kMaxSeries - 1);
}

void GraphProperties::setColumnAxis(int axis) {
    current().axis = axis;
    changed();
}

void GraphProperties::setColumnType(int type) {
    current().type = type;
    changed();
}

void GraphProperties::setColumnPattern(int pattern) {
    current().pattern = pattern;
    changed();
}

void GraphProperties::setColumnStyle(int style) {
    current().style = style;
    changed();
}

void GraphProperties::setColumnLabels(int labels) {
    current().labels = labels;
    changed();
}

void GraphProperties::setColumnRowStart(int row) {
    current().rowStart = row;
    changed();
}

void GraphProperties::setColumnRowEnd(int row) {
    current().rowEnd = row;
    changed();
}

void GraphProperties::setColumnColor(quint32 rgb) {
    current().color = rgb;
    changed();
}

void GraphProperties::setColumnLegend(const QString& legend) {
    current().legend = legend;
    changed();
}

void GraphProperties::setAxis(int axis) {
    m_axis = std::clamp(axis, 0, 1);
}

void GraphProperties::setAxisTitle(const QString& title) {
    currentAxis().title = title;
    changed();
}

void GraphProperties::setAxisGrid(bool on) {
    currentAxis().grid = on;
    changed();
}

void GraphProperties::setAxisGridPattern(int pattern) {
    currentAxis().gridPattern = pattern;
    changed();
}

void GraphProperties::setAxisScaleManual(bool on) {
    currentAxis().scaleManual = on;
    changed();
}

void GraphProperties::setAxisScaleMin(double value) {
    currentAxis().scaleMin = value;
    changed();
}

void GraphProperties::setAxisFunction(int function) {
    currentAxis().function = function;
    changed();
}

void GraphProperties::setAxisFunctionVar(double exponent) {
    // An exponent of zero or below would fold every value onto one position.
    if (exponent > 0.0)
        currentAxis().functionVar = exponent;
    changed();
}

void GraphProperties::setPrintOrientation(int orientation) {
    m_printOrientation = orientation;
}

void GraphProperties::setPrintQuality(int quality) {
    m_printQuality = quality;
}

void GraphProperties::setDataValue(int row, int position, double value) {
    if (row < 1 || row > kMaxRows || position < 0 || position > 1)
        return;
    Row& r = m_rows[static_cast<std::size_t>(row)];
    if (position == 0) {
        r.x = value;
        r.hasX = true;
    } else {
        r.y = value;
        r.hasY = true;
    }
    changed();
}

double GraphProperties::dataValue(int row, int position) const {
    if (row < 1 || row > kMaxRows)
        return 0.0;
    const Row& r = m_rows[static_cast<std::size_t>(row)];
    return position == 0 ? r.x : r.y;
}

const GraphProperties::Series& GraphProperties::series(int column) const {
    return m_series[static_cast<std::size_t>(std::clamp(column, 0, kMaxSeries - 1))];
}

const GraphProperties::Axis& GraphProperties::axisAt(int axis) const {
    return m_axes[static_cast<std::size_t>(std::clamp(axis, 0, 1))];
}

const GraphProperties::Row& GraphProperties::row(int row) const {
    return m_rows[static_cast<std::size_t>(std::clamp(row, 0, kMaxRows))];
}

std::vector<GraphProperties::Row> GraphProperties::seriesPoints(int column) const {
    std::vector<Row> points;
    if (column < 0 || column >= m_seriesCount)
        return points;
    const Series& s = series(column);
    const int start = std::max(s.rowStart, 1);
    const int end = std::min(s.rowEnd, kMaxRows);
    for (int r = start; r <= end; ++r) {
        // A row inside the range that never received a point (the first row of a factory
        // curve) is passed over rather than drawn at the origin.
        if (m_rows[static_cast<std::size_t>(r)].isPoint())
            points.push_back(m_rows[static_cast<std::size_t>(r)]);
    }
    return points;
}

GraphProperties::Series& GraphProperties::current() {
    return m_series[static_cast<std::size_t>(m_column)];
}

const GraphProperties::Series& GraphProperties::current() const {
    return m_series[static_cast<std::size_t>(m_column)];
}

GraphProperties::Axis& GraphProperties::currentAxis() {
    return m_axes[static_cast<std::size_t>(m_axis)];
}

const GraphProperties::Axis& GraphProperties::currentAxis() const {
    return m_axes[static_cast<std::size_t>(m_axis)];
}

} // namespace nerova
