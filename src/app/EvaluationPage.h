#pragma once

#include <QWidget>

class QLabel;
class QTreeWidget;

namespace nerova {

class LazyRefresh;
class Table;

// The Test page's "Evaluation" sub-page: the verdict in large type, the test-record line,
// and below them every finding with its status, what was checked and the arithmetic. It judges the
// test's current row (an edit in progress included) against the pump of the test cursor's master.
//
// A keystroke only marks the page out of date; the judging happens when the page is shown,
// or once per burst of changes while it is in sight, so typing a reading costs next to nothing.
class EvaluationPage : public QWidget {
    Q_OBJECT
public:
    explicit EvaluationPage(Table& test, QWidget* parent = nullptr);

    // Judges the current rows now.
    void refresh();

private:
    Table& m_test;
    QLabel* m_verdict = nullptr;
    QLabel* m_record = nullptr;
    QTreeWidget* m_findings = nullptr;
    LazyRefresh* m_lazy = nullptr;
};

} // namespace nerova
