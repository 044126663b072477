#pragma once

#include "eval/PumpHistory.h"

#include <QWidget>

class QPushButton;
class QTableWidget;

namespace nerova {

class LazyRefresh;
class Table;

// The Pump page's "History" sub-page: every stored test of the current pump in date order
// with its shares of the baseline, verdict and change since the test before, a place for the
// history plot, and "Export CSV…".
//
// The tests are read only while the page is in sight: when it is shown (tests saved on the
// Test page count at once) and when the pump changes under it.
class HistoryPage : public QWidget {
    Q_OBJECT
public:
    explicit HistoryPage(Table& pump, QWidget* parent = nullptr);

    const QList<HistoryRow>& rows() const { return m_rows; }

    // Reads the pump's tests now.
    void refresh();
    // Asks for a file name and writes the pump's history there. Throws EngineError when the
    // file cannot be written.
    void exportCsv();

    // The file name offered: the pump's identifier with the characters a file name cannot
    // hold replaced.
    static QString defaultFileName(const QString& pumpId);
    // A date as the system writes it in short, always with the four-digit year.
    static QString dateText(const QDate& date);

Q_SIGNALS:
    void rowsChanged();

private:
    Table& m_pump;
    QTableWidget* m_table = nullptr;
    QPushButton* m_export = nullptr;
    QWidget* m_plotSlot = nullptr;
    LazyRefresh* m_lazy = nullptr;
    QList<HistoryRow> m_rows;
};

} // namespace nerova
