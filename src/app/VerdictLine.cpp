#include "app/VerdictLine.h"

#include "controls/CommandGuard.h"
#include "data/Table.h"
#include "eval/EvaluationRows.h"

#include <QTimer>
#include <algorithm>

namespace nerova {

VerdictLine::VerdictLine(Table& test, QWidget* parent)
    : QLabel(parent), m_test(test), m_later(new QTimer(this)) {
    setObjectName(QStringLiteral("VerdictLine"));
    setAccessibleName(tr("Evaluation"));
    setAlignment(Qt::AlignRight | Qt::AlignTop);
    setTextFormat(Qt::RichText);
    m_later->setSingleShot(true);
    m_later->setInterval(0);
    connect(m_later, &QTimer::timeout, this, [this] { runGuarded([this] { refresh(); }); });
    for (Table* table : {&m_test, m_test.master()}) {
        if (!table)
            continue;
        connect(table, &Table::recordChanged, this, &VerdictLine::invalidate);
        connect(table, &Table::fieldChanged, this, &VerdictLine::invalidate);
    }
}

void VerdictLine::invalidate() {
    m_stale = true;
    if (isVisible())
        m_later->start();
}

void VerdictLine::showEvent(QShowEvent* event) {
    QLabel::showEvent(event);
    if (m_stale)
        runGuarded([this] { refresh(); });
}

void VerdictLine::refresh() {
    m_later->stop();
    m_stale = false;
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
