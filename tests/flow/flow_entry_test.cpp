#include "flow/FlowEntry.h"
#include "support/ScriptedPrompt.h"

#include <QTest>
#include <QVBoxLayout>

using namespace nerova;

class FlowEntryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clickIntoAZeroReplacesIt();
    void commaIsThePointOrNoNumber_data();
    void commaIsThePointOrNoNumber();
};

void FlowEntryTest::clickIntoAZeroReplacesIt() {
    QWidget dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* size = new FlowEntry("#.###", "Nozzle Size1"); // takes the focus on opening
    auto* pitot = new FlowEntry("###.#", "Pitot Pressure1");
    layout->addWidget(size);
    layout->addWidget(pitot);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    // At the left edge the caret would go before the right-aligned "0": 142 became 140.
    QTest::mouseClick(pitot, Qt::LeftButton, {}, QPoint(3, pitot->height() / 2));
    QTest::keyClicks(pitot, "142");
    QCOMPARE(pitot->value(), 142.0);
}

void FlowEntryTest::commaIsThePointOrNoNumber_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("pitot: the point") << "###.#" << 67.5 << QString();
    QTest::newRow("grouped: no number")
        << "#,###" << 1750.0 << "67,5 is not a number of the form #,###.";
}

// "67,5" in a dialog's entry is 67.5 or refused, never 675.
void FlowEntryTest::commaIsThePointOrNoNumber() {
    QFETCH(QString, picture);
    QFETCH(double, value);
    QFETCH(QString, message);
    test::ScriptedPrompt prompt;
    if (!message.isEmpty())
        prompt.buttons.enqueue(Prompt::Button::Ok);
    QWidget dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* entry = new FlowEntry(picture, "Flow1");
    auto* next = new FlowEntry("###.#", "Pitot Pressure1");
    layout->addWidget(entry);
    layout->addWidget(next);
    entry->setValue(1750);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    entry->setFocus();
    entry->selectAll();
    QTest::keyClicks(entry, "67,5");
    QCOMPARE(entry->value(), value);
    QTest::keyClick(entry, Qt::Key_Tab);
    QCoreApplication::processEvents(); // the box follows the change of focus
    QCOMPARE(entry->value(), value);
    QCOMPARE(prompt.texts(), message.isEmpty() ? QStringList() : QStringList{message});
}

QTEST_MAIN(FlowEntryTest)
#include "flow_entry_test.moc"
