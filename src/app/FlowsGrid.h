#pragma once

#include "eval/FlowPointColumns.h"

#include <QList>
#include <QWidget>

class QLabel;

namespace nerova {

class PageFields;

// The "Flows" sub-page of the Test page: one row per flow point 1 to 8 with its readings
// and the four values worked out from them, two-line column headers, and the "Velocity
// Pressure" check box below.
class FlowsGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPoints = kFlowPointCount;

    // The fields are made on fields' table and collected there, row by row.
    explicit FlowsGrid(PageFields& fields, QWidget* parent = nullptr);

    // The suction column reads a pressure, or a water level on a vertical turbine pump.
    void setSuctionHeader(const QString& line1, const QString& line2);
    QString suctionHeaderText() const; // "Suction\nPress"

    // The ampere and volt readings, with their headers (a diesel driver has none).
    void setElectricalEnabled(bool enabled);
    bool electricalEnabled() const { return m_electricalEnabled; }
    void setTimeEnabled(bool enabled);

    QWidget* flowField(int n) const;
    QWidget* velocityPressureBox() const { return m_velocityPressure; }

Q_SIGNALS:
    // The discharge pressure, suction pressure or speed of point n was changed by the user.
    void pointInputChanged(int n);
    // The user changed "Velocity Pressure" (the row holds the new state).
    void velocityPressureChanged();
    // A double click, F4 or Alt+Down on the flow field of point n.
    void flowDialogRequested(int n);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* pointField(const QString& name, int n) const;

    PageFields& m_fields;
    QLabel* m_suction[2] = {};
    QList<QWidget*> m_electrical; // headers and fields
    QWidget* m_velocityPressure = nullptr;
    bool m_electricalEnabled = true;
};

} // namespace nerova
