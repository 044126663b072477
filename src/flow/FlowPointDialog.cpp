#include "flow/FlowPointDialog.h"

#include "controls/CommandGuard.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace nerova {

FlowPointDialog::FlowPointDialog(Table& flow, const QString& caption, QWidget* parent)
    : QDialog(parent), m_flow(flow) {
    setWindowTitle(caption);
    FlowPointNumberLabel = new QLabel(QStringLiteral("Flow Point #1"), this);
    FlowPointNumberLabel->setObjectName(QStringLiteral("FlowPointNumberLabel"));
    QFont font = FlowPointNumberLabel->font();
    font.setBold(true);
    FlowPointNumberLabel->setFont(font);
    FlowPointNumberLabel->setAlignment(Qt::AlignCenter);
    OKBtn = makeButton(QStringLiteral("OK"));
    CancelBtn = makeButton(QStringLiteral("Cancel"));
    // OK is virtual: the hose-monster dialog checks its sizes first.
    connect(OKBtn, &QPushButton::clicked, this, [this] { runGuarded([this] { OKBtnClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this,
            [this] { runGuarded([this] { CancelBtnClick(); }); });
}

void FlowPointDialog::setFlowPoint(const QString& point, bool rowFound) {
    FlowRowFound = rowFound;
    FlowPointNumberLabel->setText(QStringLiteral("Flow Point #") + point);
}

void FlowPointDialog::OKBtnClick() {
    accept();
}

void FlowPointDialog::CancelBtnClick() {
    reject();
}

QPushButton* FlowPointDialog::makeButton(const QString& text) {
    auto* button = new QPushButton(text, this);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

void FlowPointDialog::setFocusOrder(const QList<QWidget*>& widgets) {
    for (qsizetype i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

void FlowPointDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QWidget* w = firstFocus())
        w->setFocus(Qt::OtherFocusReason);
}

void FlowPointDialog::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        focusNextChild();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace nerova
