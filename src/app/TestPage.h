#pragma once

#include "controls/PageFields.h"

#include <QWidget>

namespace nerova {

class EvaluationPage;
class VerdictLine;
class FlowsGrid;
class Notebook;
class Table;

// The Test page: the test's main fields and below them the TestNotebook, whose first
// sub-page is the grid of the eight flow points and whose last judges the test.
class TestPage : public QWidget {
    Q_OBJECT
public:
    explicit TestPage(Table& test, QWidget* parent = nullptr);

    QWidget* field(const QString& column) const { return m_fields.field(column); }
    // The "ID:" field; disabled except while a new test is being inserted.
    QWidget* identifierField() const { return m_identifier; }
    const FieldMap& fields() const { return m_fields.map(); }

    Notebook* testNotebook() const { return m_notebook; }
    FlowsGrid* flowsGrid() const { return m_flows; }
    EvaluationPage* evaluationPage() const { return m_evaluation; }

    // The header of the suction column: "Suction" / "Press" or "Water" / "Level".
    void setSuctionHeader(const QString& line1, const QString& line2);
    QString suctionHeaderText() const;
    // The ampere and volt readings of the eight points with their headers.
    void setElectricalEnabled(bool enabled);
    bool electricalEnabled() const;
    // The time of day of the eight points.
    void setTimeEnabled(bool enabled);

    // The read-only flow field of point n (1 to 8).
    QWidget* flowField(int n) const;
    QWidget* velocityPressureBox() const;
    // A field of the flow points by column ("RPM3", "Net Pressure1").
    QWidget* pointField(const QString& column) const { return m_fields.field(column); }

Q_SIGNALS:
    // The user changed the discharge pressure, suction pressure or RPM of point n.
    void pointInputChanged(int n);
    // The user changed the "Velocity Pressure" check box; the row holds the new state.
    void velocityPressureChanged();
    // A double click, F4 or Alt+Down on the flow field of point n.
    void flowDialogRequested(int n);

private:
    PageFields m_fields;
    QWidget* m_identifier = nullptr;
    Notebook* m_notebook = nullptr;
    FlowsGrid* m_flows = nullptr;
    EvaluationPage* m_evaluation = nullptr;
    VerdictLine* m_verdict = nullptr;
};

} // namespace nerova
