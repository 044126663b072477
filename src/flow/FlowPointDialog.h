#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace nerova {

class Table;

// What the three flow-point dialogs share: the point caption the dispatcher sets, whether
// the point already has a flow row, the fill on show, the save into the flow row, and the
// keyboard habit of the old data-entry screens — Enter moves to the next control as Tab
// does and never presses a button.
//
// The dialogs live for the whole process and are reused for every point; FormShow starts
// each point afresh from the stored row or from the defaults.
class FlowPointDialog : public QDialog {
    Q_OBJECT
public:
    // Set by the dispatcher before the dialog is shown: the point ("1" to "8") for the
    // "Flow Point #n" caption, and whether the flow table's current row is this point's row.
    void setFlowPoint(const QString& point, bool rowFound);

    // Fills the entries from the flow table's current row, or with the defaults for a new
    // point, and puts the focus on the first entry.
    virtual void FormShow() = 0;
    // Writes the dialog's values into the current row of flow, which the caller has put
    // into edit or insert; does not post.
    virtual void SaveFlowRow(Table& flow) = 0;

    // The buttons, callable by tests as a click would.
    virtual void OKBtnClick();
    void CancelBtnClick();

protected:
    FlowPointDialog(Table& flow, const QString& caption, QWidget* parent);

    // A push button that Enter never clicks (Enter moves the focus instead).
    QPushButton* makeButton(const QString& text);
    // Chains the focus order through widgets in the order given, wrapping round.
    static void setFocusOrder(const QList<QWidget*>& widgets);
    // The control that takes the focus when the dialog opens.
    virtual QWidget* firstFocus() const = 0;

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    Table& m_flow;
    QLabel* FlowPointNumberLabel = nullptr;
    bool FlowRowFound = false;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};

} // namespace nerova
