#include "app/VerdictLine.h"

#include "app/LazyRefresh.h"
#include "data/Table.h"
#include "eval/EvaluationRows.h"
#include "eval/EvaluationText.h"

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
        setAccessibleName(tr("Evaluation"));
        return;
    }
    const Evaluation e = evaluateCurrentTest(*pump, m_test);
    const char* colour = e.verdict == TestVerdictKind::Pass   ? "#006e00"
                         : e.verdict == TestVerdictKind::Fail ? "#aa0000"
                                                              : "#965a00";
    const QString summary = verdictSummary(e);
    const QString verdict = verdictText(e.verdict);
    // The verdict word in colour, what follows it as it stands.
    QString text = tr("Evaluation: <b><font color=\"%1\">%2</font></b>%3")
                       .arg(QLatin1String(colour), verdict.toHtmlEscaped(),
                            summary.mid(verdict.size()).toHtmlEscaped());
    QString spoken = tr("Evaluation: %1").arg(summary);
    if (const QString record = testRecordText(e); !record.isEmpty()) {
        text += QStringLiteral("<br>") + record.toHtmlEscaped();
        spoken += QStringLiteral(". ") + record;
    }
    setText(text);
    // A screen reader reads the verdict itself, not only the word "Evaluation".
    setAccessibleName(spoken);
}

} // namespace nerova
