#include "AppFixture.h"
#include "app/ContactPage.h"
#include "app/FlowsGrid.h"
#include "app/Notebook.h"
#include "app/PumpPage.h"
#include "app/TestPage.h"
#include "controls/FieldGrid.h"
#include "controls/FieldLink.h"
#include "data/Schema.h"
#include "data/Table.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDatabase.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <memory>

using namespace nerova;
using test::child;

namespace {

// The columns of a table a user types into: all but the keys of its owners.
QStringList typedColumns(TableId id) {
    const TableDef& def = tableDef(id);
    const QString own = identifierColumn(id);
    QStringList columns;
    for (const ColumnDef& c : def.columns) {
        const QString name = QString::fromLatin1(c.name);
        if (def.indexOf(name) < def.keyCount && name != own)
            continue;
        columns << name;
    }
    // Kept in the pump table (the demonstration row fills it) but edited on no page.
    columns.removeAll(QStringLiteral("Trans Sw Label"));
    return columns;
}

// The page's bound fields in the order Tab visits them, starting at its first field.
QStringList tabOrder(QWidget* first, const FieldMap& fields) {
    QStringList order;
    QWidget* w = first;
    do {
        if (FieldLink* link = FieldGrid::linkOf(w); link && fields.value(link->column()) == w)
            order << link->column();
        w = w->nextInFocusChain();
    } while (w != first);
    return order;
}

struct Pages {
    test::TempDatabase tmp;
    Table company{tmp.db(), TableId::Company};
    Table location{tmp.db(), TableId::Location};
    Table pump{tmp.db(), TableId::Pump};
    Table test{tmp.db(), TableId::Test};
    std::unique_ptr<ContactPage> companyPage;
    std::unique_ptr<ContactPage> locationPage;
    std::unique_ptr<PumpPage> pumpPage;
    std::unique_ptr<TestPage> testPage;

    Pages() {
        for (Table* t : {&company, &location, &pump, &test})
            t->open();
        companyPage = std::make_unique<ContactPage>(company, false);
        locationPage = std::make_unique<ContactPage>(location, true);
        pumpPage = std::make_unique<PumpPage>(pump);
        testPage = std::make_unique<TestPage>(test);
    }

    QList<std::pair<QWidget*, const FieldMap*>> all() const {
        return {{companyPage.get(), &companyPage->fields()},
                {locationPage.get(), &locationPage->fields()},
                {pumpPage.get(), &pumpPage->fields()},
                {testPage.get(), &testPage->fields()}};
    }
};

} // namespace

class PagesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyTypedColumnHasExactlyOneField();
    void fieldsNameTheirCaptionAndColumn();
    void tabOrderFollowsTheTable();
    void computedAndChurnFieldsRefuseTyping();
    void calibrationYearIsInThisCentury();
    void flowsGridTellsTheMainWindow();
    void flowsGridSwitches();
    void everyTabShowsInFull();
};

void PagesTest::everyTypedColumnHasExactlyOneField() {
    test::ScriptedPrompt prompt;
    Pages pages;
    const QList<std::pair<QWidget*, TableId>> pageTables = {
        {pages.companyPage.get(), TableId::Company},
        {pages.locationPage.get(), TableId::Location},
        {pages.pumpPage.get(), TableId::Pump},
        {pages.testPage.get(), TableId::Test}};
    for (const auto& [page, id] : pageTables) {
        QHash<QString, int> bound;
        for (QWidget* w : page->findChildren<QWidget*>())
            if (FieldLink* link = FieldGrid::linkOf(w))
                ++bound[link->column().toLower()];
        const QStringList expected = typedColumns(id);
        for (const QString& column : expected)
            QVERIFY2(bound.value(column.toLower()) == 1, qPrintable(column));
        QCOMPARE(bound.size(), expected.size());
    }
    QVERIFY(!pages.companyPage->field(QStringLiteral("SameAsCompany")));
    QVERIFY(pages.pumpPage->driverTypeComboBox());
}

void PagesTest::fieldsNameTheirCaptionAndColumn() {
    test::ScriptedPrompt prompt;
    Pages pages;
    for (const auto& [page, fields] : pages.all()) {
        for (auto it = fields->cbegin(); it != fields->cend(); ++it) {
            QWidget* field = it.value();
            QCOMPARE(field->accessibleDescription().toLower(), it.key().toLower());
            // Grid cells are named by their row and column headers instead of a caption.
            auto* box = qobject_cast<QAbstractButton*>(field);
            const bool named = FieldGrid::captionOf(field) || (box && !box->text().isEmpty()) ||
                               !field->accessibleName().isEmpty();
            QVERIFY2(named, qPrintable(it.key()));
            if (qobject_cast<QComboBox*>(field) && FieldGrid::captionOf(field))
                QVERIFY2(!field->accessibleName().isEmpty(), qPrintable(it.key()));
        }
    }
    auto* caption = qobject_cast<QLabel*>(
        FieldGrid::captionOf(pages.locationPage->field(QStringLiteral("Contact Phone Ext"))));
    QVERIFY(caption);
    QCOMPARE(caption->text(), QStringLiteral("Ext:"));
    QCOMPARE(pages.pumpPage->driverTypeComboBox()->accessibleName(), QStringLiteral("Driver Type"));
    // Identifier fields wait for an insert.
    for (QWidget* id : {pages.companyPage->identifierField(), pages.locationPage->identifierField(),
                        pages.pumpPage->identifierField(), pages.testPage->identifierField()})
        QVERIFY(!id->isEnabled());
}

void PagesTest::tabOrderFollowsTheTable() {
    test::ScriptedPrompt prompt;
    Pages pages;
    QCOMPARE(tabOrder(pages.companyPage->identifierField(), pages.companyPage->fields()),
             typedColumns(TableId::Company));

    // The Location page keeps "Same as Company" with the address it refers to.
    QStringList location = typedColumns(TableId::Location);
    location.move(location.indexOf(QStringLiteral("SameAsCompany")),
                  location.indexOf(QStringLiteral("Zip")) + 1);
    QCOMPARE(tabOrder(pages.locationPage->identifierField(), pages.locationPage->fields()),
             location);

    // The test's main fields, then point 1 of the flow grid row by row.
    const QStringList test =
        tabOrder(pages.testPage->identifierField(), pages.testPage->fields()).mid(0, 19);
    QCOMPARE(test, typedColumns(TableId::Test).mid(0, 19));
}

void PagesTest::computedAndChurnFieldsRefuseTyping() {
    test::ScriptedPrompt prompt;
    Pages pages;
    pages.pumpPage->show();
    QWidget* churn = pages.pumpPage->field(QStringLiteral("FC Flow1"));
    QVERIFY(!churn->isEnabled());
    const QVariant churnFlow = pages.pump.value(QStringLiteral("FC Flow1"));
    QTest::keyClicks(churn, QStringLiteral("250"));
    QCOMPARE(pages.pump.value(QStringLiteral("FC Flow1")), churnFlow);
    QCOMPARE(pages.pump.state(), TableState::Browse);

    pages.testPage->show();
    for (const char* name : {"Flow1", "Net Pressure1", "Corrected Flow1", "Corrected Net Pressure1",
                             "Percent Rated Flow1"}) {
        const QString column = QString::fromLatin1(name);
        QWidget* field = pages.testPage->pointField(column);
        const QVariant before = pages.test.value(column);
        const QString shown = static_cast<QLineEdit*>(field)->text();
        field->setFocus();
        QTest::keyClicks(field, QStringLiteral("97"));
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(pages.test.value(column), before);
        QCOMPARE(static_cast<QLineEdit*>(field)->text(), shown);
        QCOMPARE(pages.test.state(), TableState::Browse);
    }
    QCOMPARE(pages.testPage->pointField(QStringLiteral("Net Pressure1"))->focusPolicy(),
             Qt::ClickFocus);
    QCOMPARE(pages.testPage->flowField(1)->focusPolicy(), Qt::StrongFocus);
}

void PagesTest::calibrationYearIsInThisCentury() {
    test::ScriptedPrompt prompt;
    Pages pages;
    pages.testPage->show();
    pages.testPage->testNotebook()->setCurrentIndex(7);
    auto* date =
        static_cast<QLineEdit*>(pages.testPage->field(QStringLiteral("Volt Meter Cal Date")));
    date->setFocus();
    date->selectAll();
    QTest::keyClick(date, Qt::Key_Delete);
    date->setCursorPosition(0);
    QTest::keyClicks(date, QStringLiteral("030905"));
    QCOMPARE(pages.test.state(), TableState::Edit);
    QCOMPARE(pages.test.asDate(QStringLiteral("Volt Meter Cal Date")), QDate(2005, 3, 9));
}

void PagesTest::flowsGridTellsTheMainWindow() {
    test::ScriptedPrompt prompt;
    Pages pages;
    TestPage& page = *pages.testPage;
    page.show();
    pages.test.insert(); // a row to type into
    QSignalSpy changed(&page, &TestPage::pointInputChanged);
    QSignalSpy requested(&page, &TestPage::flowDialogRequested);

    QTest::keyClick(page.pointField(QStringLiteral("RPM3")), Qt::Key_5);
    QTest::keyClick(page.pointField(QStringLiteral("RPM3")), Qt::Key_Tab); // changes nothing
    QTest::keyClick(page.pointField(QStringLiteral("Suction Pressure7")), Qt::Key_1);
    QTest::keyClick(page.pointField(QStringLiteral("Amp2-1")), Qt::Key_1); // not a point input
    QCOMPARE(changed.size(), 2);
    QCOMPARE(changed.at(0).at(0).toInt(), 3);
    QCOMPARE(changed.at(1).at(0).toInt(), 7);

    QTest::mouseDClick(page.flowField(5), Qt::LeftButton);
    QTest::keyClick(page.flowField(6), Qt::Key_F4);
    QCOMPARE(requested.size(), 2);
    QCOMPARE(requested.at(0).at(0).toInt(), 5);
    QCOMPARE(requested.at(1).at(0).toInt(), 6);

    // Told once the box has changed, with the row holding the new state; Tab is no change.
    QWidget* box = page.velocityPressureBox();
    const bool before = pages.test.asBool(QStringLiteral("Velocity Pressure"));
    QList<bool> seen;
    connect(&page, &TestPage::velocityPressureChanged, this,
            [&] { seen << pages.test.asBool(QStringLiteral("Velocity Pressure")); });
    QTest::keyClick(box, Qt::Key_Tab);
    QTest::keyClick(box, Qt::Key_Space);
    QCOMPARE(seen, QList<bool>{!before});
    QCOMPARE(pages.test.asBool(QStringLiteral("Velocity Pressure")), !before);
}

void PagesTest::flowsGridSwitches() {
    test::ScriptedPrompt prompt;
    Pages pages;
    TestPage& page = *pages.testPage;
    QCOMPARE(page.suctionHeaderText(), QStringLiteral("Suction\nPress"));
    page.setSuctionHeader(QStringLiteral("Water"), QStringLiteral("Level"));
    QCOMPARE(page.suctionHeaderText(), QStringLiteral("Water\nLevel"));

    const QStringList electricalHeaders = {"Amperes", "A", "B", "C", "Volts", "A-B", "B-C", "A-C"};
    auto electrical = [&](bool enabled) {
        int headers = 0;
        for (QLabel* label : page.flowsGrid()->findChildren<QLabel*>())
            if (electricalHeaders.contains(label->text())) {
                ++headers;
                if (label->isEnabled() != enabled)
                    return false;
            }
        for (int n = 1; n <= FlowsGrid::kPoints; ++n)
            for (int k = 1; k <= 3; ++k)
                for (const char* kind : {"Amp", "Volt"})
                    if (page.pointField(QStringLiteral("%1%2-%3").arg(kind).arg(n).arg(k))
                            ->isEnabled() != enabled)
                        return false;
        return headers == electricalHeaders.size();
    };
    page.setElectricalEnabled(false);
    QVERIFY(!page.electricalEnabled());
    QVERIFY(electrical(false));
    QVERIFY(page.pointField(QStringLiteral("RPM8"))->isEnabled());
    page.setElectricalEnabled(true);
    QVERIFY(electrical(true));

    page.setTimeEnabled(false);
    for (int n = 1; n <= FlowsGrid::kPoints; ++n)
        QVERIFY(!page.pointField(QStringLiteral("Time%1").arg(n))->isEnabled());
}

void PagesTest::everyTabShowsInFull() {
    test::AppFixture f;
    TMainForm1& w = f.open(); // at its start-up size
    for (int page : {2, 3}) {
        QVERIFY(w.selectPage(page));
        Notebook* nb = page == 2 ? child<PumpPage>(w, "PumpPage")->pumpNotebook()
                                 : child<TestPage>(w, "TestPage")->testNotebook();
        QTabBar* bar = nb->tabBar();
        QVERIFY(bar->sizeHint().width() <= bar->width());
        QCOMPARE(bar->tabToolTip(7), nb->caption(7));
        // A shortened tab ("Elec.") is found by its full caption, as a screen reader says it.
        QAccessibleInterface* tabs = QAccessible::queryAccessibleInterface(bar);
        for (int i = 0; i < nb->count(); ++i)
            QCOMPARE(tabs->child(i)->text(QAccessible::Name), nb->caption(i));
    }
    QCOMPARE(child<PumpPage>(w, "PumpPage")->pumpNotebook()->caption(7),
             QString("Transfer Switch"));
}

QTEST_MAIN(PagesTest)
#include "pages_test.moc"
