#pragma once

#include "controls/PageFields.h"

#include <QWidget>

class QComboBox;

namespace nerova {

class HistoryPage;
class Notebook;
class Table;

// The Pump page: the pump's main fields with its rating block, and below them the
// PumpNotebook of the driver, jockey, controllers, valves, switch, curve, gear, notes and
// the history of the pump's tests.
class PumpPage : public QWidget {
    Q_OBJECT
public:
    explicit PumpPage(Table& pump, QWidget* parent = nullptr);

    QWidget* field(const QString& column) const { return m_fields.field(column); }
    // The "ID:" field; disabled except while a new pump is being inserted.
    QWidget* identifierField() const { return m_identifier; }
    const FieldMap& fields() const { return m_fields.map(); }

    Notebook* pumpNotebook() const { return m_notebook; }
    HistoryPage* historyPage() const { return m_history; }
    // The "Driver Type" list; its picks decide which driver sub-pages are enabled.
    QComboBox* driverTypeComboBox() const;

private:
    PageFields m_fields;
    QWidget* m_identifier = nullptr;
    Notebook* m_notebook = nullptr;
    HistoryPage* m_history = nullptr;
};

} // namespace nerova
