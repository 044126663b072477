#pragma once

#include <QLabel>

namespace nerova {

class LazyRefresh;
class Table;

// The verdict of the test being typed, beside the Test page's header fields. A sub-page
// cannot change during an edit, so the Evaluation sub-page is out of reach while readings
// are typed; this line follows every keystroke instead (judged once per burst of changes,
// and only while it is in sight).
class VerdictLine : public QLabel {
    Q_OBJECT
public:
    explicit VerdictLine(Table& test, QWidget* parent = nullptr);

    // Judges the current rows now.
    void refresh();

private:
    Table& m_test;
    LazyRefresh* m_lazy = nullptr;
};

} // namespace nerova
