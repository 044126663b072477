#include "app/EvaluationPage.h"

#include "app/LazyRefresh.h"

#include "controls/CommandGuard.h"
#include "data/Table.h"
#include "eval/EvaluationRows.h"
#include "eval/EvaluationText.h"
#include "print/EvaluationSection.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace nerova {

namespace {

QColor statusColour(FindingStatus status) {
    switch (status) {
    case FindingStatus::Pass:
        return QColor(0, 110, 0);
    case FindingStatus::Fail:
        return QColor(170, 0, 0);
    case FindingStatus::NotEvaluated:
        break;
    }
    return QColor(110, 110, 110);
}

QColor verdictColour(TestVerdictKind verdict) {
    switch (verdict) {
    case TestVerdictKind::Pass:
        return statusColour(FindingStatus::Pass);
    case TestVerdictKind::Fail:
        return statusColour(FindingStatus::Fail);
    case TestVerdictKind::Incomplete:
    case TestVerdictKind::NotTested:
        break;
    }
    return QColor(150, 90, 0);
}

} // namespace

EvaluationPage::EvaluationPage(Table& test, QWidget* parent)
    : QWidget(parent), m_test(test), m_verdict(new QLabel(this)), m_record(new QLabel(this)),
      m_findings(new QTreeWidget(this)), m_lazy(new LazyRefresh(*this, [this] { refresh(); })) {
    m_verdict->setObjectName(QStringLiteral("VerdictLabel"));
    m_verdict->setAccessibleName(tr("Verdict"));
    // Twice the window's type, whether that is sized in points or (as the main window's is)
    // in pixels; a pixel-sized font has no point size to double.
    QFont big = m_verdict->font();
    if (big.pixelSize() > 0)
        big.setPixelSize(big.pixelSize() * 2);
    else
        big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    m_verdict->setFont(big);

    m_findings->setObjectName(QStringLiteral("FindingsView"));
    m_findings->setRootIsDecorated(false);
    m_findings->setUniformRowHeights(true);
    m_findings->setSelectionMode(QAbstractItemView::NoSelection);
    m_findings->setFocusPolicy(Qt::NoFocus);
    m_findings->setHeaderLabels({tr("Status"), tr("Checked"), tr("Arithmetic")});
    m_findings->header()->setStretchLastSection(true);

    auto* caption = new QLabel(tr("Verdict:"), this);
    caption->setFont(big);
    caption->setBuddy(m_verdict);
    auto* top = new QHBoxLayout;
    top->addWidget(caption);
    top->addWidget(m_verdict, 1);
    m_record->setObjectName(QStringLiteral("TestRecordLabel"));
    m_record->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_record);
    layout->addWidget(m_findings, 1);

    m_lazy->watch(&m_test);
    m_lazy->watch(m_test.master());
}

void EvaluationPage::refresh() {
    m_lazy->refreshing();
    m_findings->clear();
    m_verdict->clear();
    m_record->clear();
    const Table* pump = m_test.master();
    // Nothing to judge without a test row (an insert has one) and the pump it belongs to.
    if (!pump || !pump->isOpen() || pump->recNo() == 0 || !m_test.isOpen() ||
        (m_test.recNo() == 0 && !m_test.isEditing()))
        return;
    const Evaluation e = evaluateCurrentTest(*pump, m_test);
    m_verdict->setText(verdictSummary(e));
    // The paperwork on a line of its own: a late calibration is no fault of the pump.
    QString record = testRecordText(e);
    if (!e.recordReasons.isEmpty())
        record += QStringLiteral(": ") + e.recordReasons.join(QStringLiteral("; "));
    m_record->setText(record);
    QPalette palette = m_verdict->palette();
    palette.setColor(QPalette::WindowText, verdictColour(e.verdict));
    m_verdict->setPalette(palette);
    QList<QTreeWidgetItem*> items;
    items.reserve(e.findings.size());
    for (const Finding& f : e.findings) {
        auto* item =
            new QTreeWidgetItem({statusText(f.status), EvaluationSection::checkedText(f), f.text});
        item->setForeground(0, statusColour(f.status));
        item->setToolTip(2, f.text);
        items.append(item);
    }
    m_findings->addTopLevelItems(items);
    m_findings->resizeColumnToContents(0);
    m_findings->resizeColumnToContents(1);
}

} // namespace nerova
