#include "app/VerdictLine.h"

#include "app/LazyRefresh.h"
#include "data/Table.h"
#include "eval/EvaluationRows.h"

#include <algorithm>

namespace nerova {

VerdictLine::VerdictLine(Table& test, QWidget* parent)
    : QLabel(parent), m_test(test), m_lazy(new LazyRefresh(*this, [this] { refresh(); })) {
    setObjectName(QStringLiteral("VerdictLine"));
    setAccessibleName(tr("Evaluation"));
    setAlignment(Qt::AlignRight | Qt::AlignTop);
    setTextFormat(Qt::RichText);
    m_lazy->watch(&m_test);
    m_lazy->watch(m_test.master());
}

void VerdictLine::refresh() {
    m_lazy->refreshing();
    const Table* pump = m_test.master();
    if (!pump || !pump->isOpen() || pump->recNo() == 0 || !m_test.isOpen() ||
        (m_test.recNo() == 0 && !m_test.isEditing())) {
        clear();
        return;
    }
    const Evaluation e = evaluateCurrentTest(*pump, m_test);
    const auto failed = std::count_if(e.findings.begin(), e.findings.end(),
                                      [](const Finding& f) { return f.status == Status::Fail; });
    const char* colour = e.verdict == Verdict::Pass   ? "#006e00"
                         : e.verdict == Verdict::Fail ? "#aa0000"
                                                      : "#965a00";
    QString text = tr("Evaluation: <b><font color=\"%1\">%2</font></b>")
                       .arg(QLatin1String(colour), verdictText(e.verdict).toHtmlEscaped());
    if (failed == 1)
        text += tr("<br>1 finding failed");
    else if (failed > 1)
        text += tr("<br>%1 findings failed").arg(failed);
    setText(text);
}

} // namespace nerova
