#include "flow/FlowEntry.h"

#include <QTest>
#include <QVBoxLayout>

using namespace nerova;

class FlowEntryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clickIntoAZeroReplacesIt();
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

QTEST_MAIN(FlowEntryTest)
#include "flow_entry_test.moc"
