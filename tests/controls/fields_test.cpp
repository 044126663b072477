#include "controls/CheckField.h"
#include "controls/DateField.h"
#include "controls/FieldGrid.h"
#include "controls/FieldLink.h"
#include "controls/ListField.h"
#include "controls/MaskedField.h"
#include "controls/MemoField.h"
#include "controls/NumberField.h"
#include "controls/PageFields.h"
#include "controls/TextField.h"
#include "data/Database.h"
#include "data/Global.h"
#include "data/Table.h"
#include "support/ScriptedPrompt.h"

#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

using namespace nerova;
using nerova::test::ScriptedPrompt;

class FieldsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void firstKeystrokeEditsTheRowAndTypingReachesTheBuffer();
    void fieldFollowsTheTable();
    void typingIntoAnEmptyOrClosedTableIsRefused();
    void textKinds();
    void readOnlyFieldsRefuseTyping();
    void phoneIsStoredWithDashes();
    void timeIsStoredAsTextOrTime();
    void dateReadsTwoDigitYearsIn2000s();
    void slashEntersToday();
    void calendarWeeksStartOnSunday();
    void incompleteDateLeavesStoredValue();
    void leavingAnImpossibleDateOrTime_data();
    void leavingAnImpossibleDateOrTime();
    void focusingClickSelectsTheText();
    void lists();
    void listsAreNamedByTheirCaption();
    void checkAndMemo();

private:
    void addCompany(const QString& id, const QString& name);

    std::unique_ptr<QTemporaryDir> m_tmp;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Table> m_company;
    std::unique_ptr<Table> m_test;
};

void FieldsTest::init() {
    m_tmp = std::make_unique<QTemporaryDir>();
    m_db = std::make_unique<Database>(m_tmp->filePath("aliases.ini"), m_tmp->filePath("data"));
    m_db->createTable(TableId::Company);
    m_db->createTable(TableId::Test);
    m_company = std::make_unique<Table>(*m_db, TableId::Company);
    m_company->open();
    addCompany("ACME", "Acme Sprinkler");
    addCompany("BOLT", "Bolt Fire");
    m_company->first();

    m_test = std::make_unique<Table>(*m_db, TableId::Test);
    m_test->open();
    m_test->append();
    for (const char* key : {"CompanyID", "LocationID", "PumpID", "TestID"})
        m_test->setValue(QString::fromLatin1(key), QStringLiteral("K"));
    m_test->post();
}

void FieldsTest::cleanup() {
    setTodayForTesting({});
    m_test.reset();
    m_company.reset();
    m_db.reset();
    m_tmp.reset();
}

void FieldsTest::addCompany(const QString& id, const QString& name) {
    m_company->append();
    m_company->setValue("CompanyID", id);
    m_company->setValue("Name", name);
    m_company->post();
}

void FieldsTest::firstKeystrokeEditsTheRowAndTypingReachesTheBuffer() {
    TextField name(*m_company, "Name");
    QCOMPARE(name.text(), QString("Acme Sprinkler"));
    QCOMPARE(name.accessibleDescription(), QString("Name"));
    QSignalSpy edits(m_company.get(), &Table::afterEdit);

    name.selectAll();
    QTest::keyClicks(&name, "Z");
    QCOMPARE(m_company->state(), TableState::Edit);
    QCOMPARE(edits.count(), 1);
    QCOMPARE(m_company->value("Name").toString(), QString("Z"));

    QTest::keyClicks(&name, "eta");
    QCOMPARE(edits.count(), 1);
    QCOMPARE(m_company->value("Name").toString(), QString("Zeta"));
    QCOMPARE(name.text(), QString("Zeta"));

    // Clearing the field stores a blank, not an empty string.
    name.selectAll();
    QTest::keyClick(&name, Qt::Key_Delete);
    QVERIFY(m_company->isNull("Name"));

    m_company->cancel();
    QCOMPARE(name.text(), QString("Acme Sprinkler"));
}

void FieldsTest::fieldFollowsTheTable() {
    TextField name(*m_company, "Name");
    NumberField rpm(*m_test, "RPM1", "9999");
    m_company->next();
    QCOMPARE(name.text(), QString("Bolt Fire"));
    m_company->first();
    QCOMPARE(name.text(), QString("Acme Sprinkler"));

    // Values written by other code show at once.
    m_test->edit();
    m_test->setValue("RPM1", 1750.0);
    QCOMPARE(rpm.text(), QString("1750"));
    m_test->cancel();
    QCOMPARE(rpm.text(), QString());

    // A field on a closed table shows blank, and its value again on reopening.
    m_company->close();
    QCOMPARE(name.text(), QString());
    m_company->open();
    QCOMPARE(name.text(), QString("Acme Sprinkler"));

    // An inserted row shows blank fields.
    m_company->append();
    QCOMPARE(name.text(), QString());
    m_company->cancel();

    // Blank when disabled only where that is asked for.
    name.setEnabled(false);
    QCOMPARE(name.text(), QString("Acme Sprinkler"));
    name.link().setBlankWhenDisabled(true);
    QCOMPARE(name.text(), QString());
    name.setEnabled(true);
    QCOMPARE(name.text(), QString("Acme Sprinkler"));
}

void FieldsTest::typingIntoAnEmptyOrClosedTableIsRefused() {
    m_db->createTable(TableId::Location);
    Table empty(*m_db, TableId::Location);
    empty.open();
    TextField name(empty, "Name");
    QTest::keyClicks(&name, "abc");
    QCOMPARE(name.text(), QString());
    QCOMPARE(empty.state(), TableState::Browse);

    CheckField same(empty, "SameAsCompany");
    QTest::keyClick(&same, Qt::Key_Space);
    QVERIFY(!same.isChecked());

    empty.close();
    QTest::keyClicks(&name, "abc");
    QCOMPARE(name.text(), QString());
}

void FieldsTest::textKinds() {
    TextField state(*m_company, "State", TextField::Mode::UpperCase, 2);
    QTest::keyClicks(&state, "tx");
    QCOMPARE(m_company->value("State").toString(), QString("TX"));
    QCOMPARE(state.text(), QString("TX"));
    QTest::keyClicks(&state, "a");
    QCOMPARE(m_company->value("State").toString(), QString("TX"));

    // The column's size bounds a field even when a longer limit is asked for.
    TextField zip(*m_company, "Zip", TextField::Mode::Text, 40);
    QCOMPARE(zip.maxLength(), 10);

    TextField ext(*m_company, "Contact Phone Ext", TextField::Mode::Digits, 5);
    QTest::keyClicks(&ext, "1a2-34567");
    QCOMPARE(m_company->value("Contact Phone Ext").toString(), QString("12345"));

    // Digits on a number column are stored as a number.
    TextField secs(*m_test, "Peak Flow Time", TextField::Mode::Digits, 3);
    QTest::keyClicks(&secs, "0125");
    QCOMPARE(m_test->value("Peak Flow Time").toDouble(), 12.0);
    m_test->cancel();
}

void FieldsTest::readOnlyFieldsRefuseTyping() {
    TextField id(*m_company, "CompanyID");
    id.setAccess(FieldAccess::ReadOnly);
    NumberField net(*m_test, "Net Pressure1", "#######.#");
    net.setAccess(FieldAccess::DisplayOnly);
    ListField list(*m_test, "Test Method", {"Open butt", "Standpipe"}, ListField::Mode::ListOrText);
    list.setAccess(FieldAccess::ReadOnly);
    CheckField velocity(*m_test, "Velocity Pressure");
    velocity.setAccess(FieldAccess::ReadOnly);

    QTest::keyClicks(&id, "XY");
    QTest::keyClicks(&net, "12");
    QTest::keyClicks(&list, "Open");
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&velocity, Qt::Key_Space);
    QCOMPARE(id.text(), QString("ACME"));
    QCOMPARE(net.text(), QString());
    QCOMPARE(list.currentText(), QString());
    QVERIFY(!velocity.isChecked());
    QCOMPARE(m_company->state(), TableState::Browse);
    QCOMPARE(m_test->state(), TableState::Browse);

    QCOMPARE(id.focusPolicy(), Qt::StrongFocus);
    QVERIFY(!(net.focusPolicy() & Qt::TabFocus));
    QCOMPARE(net.palette().color(QPalette::Base), net.palette().color(QPalette::Window));
}

void FieldsTest::phoneIsStoredWithDashes() {
    MaskedField phone(*m_company, "Contact Phone", MaskedField::Mask::Phone);
    QTest::keyClicks(&phone, "5551234567");
    QCOMPARE(m_company->value("Contact Phone").toString(), QString("555-123-4567"));
    m_company->post();
    m_company->next();
    QCOMPARE(phone.displayText(), QString("___-___-____"));
    m_company->first();
    QCOMPARE(phone.text(), QString("555-123-4567"));
}

void FieldsTest::timeIsStoredAsTextOrTime() {
    MaskedField start(*m_test, "Test Start Time", MaskedField::Mask::Time);
    MaskedField point(*m_test, "Time1", MaskedField::Mask::Time);
    QTest::keyClicks(&start, "1030pm");
    QCOMPARE(m_test->value("Test Start Time").toTime(), QTime(22, 30));
    QTest::keyClicks(&point, "1205am");
    QCOMPARE(m_test->value("Time1").toString(), QString("12:05 AM"));
    m_test->post();
    QCOMPARE(start.text(), QString("10:30 PM"));

    QCOMPARE(MaskedField::parseTime("12:00 PM"), std::optional<QTime>(QTime(12, 0)));
    QCOMPARE(MaskedField::parseTime("13:00 PM"), std::optional<QTime>());
    QCOMPARE(MaskedField::parseTime("09:60 AM"), std::optional<QTime>());
}

void FieldsTest::dateReadsTwoDigitYearsIn2000s() {
    DateField cal(*m_test, "Pressure Gauge Cal Date");
    QTest::keyClicks(&cal, "0203");
    QCOMPARE(m_test->state(), TableState::Edit); // edited from the first keystroke
    QVERIFY(m_test->isNull("Pressure Gauge Cal Date"));
    QTest::keyClicks(&cal, "05");
    QCOMPARE(m_test->value("Pressure Gauge Cal Date").toDate(), QDate(2005, 2, 3));
    m_test->post();
    QCOMPARE(cal.text(), QString("02/03/05"));

    QCOMPARE(DateField::parseDate("12/31/99"), std::optional<QDate>(QDate(2099, 12, 31)));
    QCOMPARE(DateField::parseDate("02/30/05"), std::optional<QDate>());
}

void FieldsTest::slashEntersToday() {
    setTodayForTesting([] { return QDate(2002, 7, 4); });
    DateField date(*m_test, "Test Date");
    QTest::keyClick(&date, '/');
    QCOMPARE(m_test->state(), TableState::Edit);
    QCOMPARE(m_test->value("Test Date").toDate(), QDate(2002, 7, 4));
    QCOMPARE(date.text(), QString("07/04/02"));
}

void FieldsTest::calendarWeeksStartOnSunday() {
    DateField date(*m_test, "Test Date");
    date.show();
    date.showCalendar();
    QVERIFY(date.isCalendarVisible());
    QCOMPARE(date.calendar()->firstDayOfWeek(), Qt::Sunday);
    Q_EMIT date.calendar()->clicked(QDate(2004, 2, 29));
    QVERIFY(!date.isCalendarVisible());
    QCOMPARE(m_test->value("Test Date").toDate(), QDate(2004, 2, 29));
}

void FieldsTest::incompleteDateLeavesStoredValue() {
    ScriptedPrompt prompt;
    prompt.buttons.enqueue(Prompt::Button::Ok);
    m_test->edit();
    m_test->setValue("Test Date", QDate(2001, 5, 6));
    QWidget window;
    QLineEdit other(&window);
    DateField date(*m_test, "Test Date", &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    date.setFocus();
    date.selectAll();
    QTest::keyClicks(&date, "0230");
    QTest::keyClicks(&date, "05"); // 30 February: not a date
    QCOMPARE(m_test->value("Test Date").toDate(), QDate(2001, 5, 6));
    other.setFocus();
    QCOMPARE(date.text(), QString("05/06/01"));
    QCoreApplication::processEvents();
    QCOMPARE(prompt.texts(), QStringList{"02/30/05 is not a valid date."});
}

void FieldsTest::leavingAnImpossibleDateOrTime_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("before");
    QTest::addColumn<bool>("home"); // typed over from the start instead of over the selection
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QVariant>("stored");

    const QVariant jan2(QDate(2005, 1, 2)), feb14(QDate(2005, 2, 14));
    // Over 01/02/05 the first key makes 11/02/05, valid for a moment.
    QTest::newRow("13/32 over a date") << "Test Date" << jan2 << true << "133205"
                                       << "13/32/05 is not a valid date."
                                       << "01/02/05" << jan2;
    QTest::newRow("30 February") << "Test Date" << feb14 << false << "023005"
                                 << "02/30/05 is not a valid date."
                                 << "02/14/05" << feb14;
    QTest::newRow("half a date") << "Test Date" << feb14 << false << "0230"
                                 << "02/30/__ is not a valid date."
                                 << "02/14/05" << feb14;
    QTest::newRow("cleared date") << "Test Date" << feb14 << false << "\b" << QString()
                                  << "__/__/__" << QVariant();
    QTest::newRow("13 o'clock") << "Test Start Time" << QVariant(QTime(14, 30)) << true << "13"
                                << "13:30 PM is not a valid time."
                                << "02:30 PM" << QVariant(QTime(14, 30));
    QTest::newRow("valid date") << "Test Date" << feb14 << true << "03" << QString() << "03/14/05"
                                << QVariant(QDate(2005, 3, 14));
}

void FieldsTest::leavingAnImpossibleDateOrTime() {
    QFETCH(QString, column);
    QFETCH(QVariant, before);
    QFETCH(bool, home);
    QFETCH(QString, keys);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QFETCH(QVariant, stored);
    m_test->edit();
    m_test->setValue(column, before);
    m_test->post();
    ScriptedPrompt prompt;
    if (!message.isEmpty())
        prompt.buttons.enqueue(Prompt::Button::Ok);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* other = new QLineEdit(&window);
    QLineEdit* field = column == "Test Date"
                           ? static_cast<QLineEdit*>(new DateField(*m_test, column))
                           : new MaskedField(*m_test, column, MaskedField::Mask::Time);
    layout->addWidget(other);
    layout->addWidget(field);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), field);
    QCOMPARE(field->selectedText(), field->text()); // Tab selects the whole masked text
    if (home)
        QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClicks(field, keys);
    QCOMPARE(m_test->value(column), stored); // never a value that was valid half-way

    QTest::keyClick(field, Qt::Key_Tab);
    QCOMPARE(field->displayText(), shown);
    QCoreApplication::processEvents(); // the box follows the change of focus
    QCOMPARE(prompt.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    m_test->post();
    QCOMPARE(m_test->value(column), stored);
}

void FieldsTest::focusingClickSelectsTheText() {
    m_test->edit();
    m_test->setValue("RPM1", 0.0);
    m_test->setValue("Discharge Device", "Playpipes");
    m_test->post();
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* rpm = new NumberField(*m_test, "RPM1", "9999");
    auto* pressure = new NumberField(*m_test, "Discharge Pressure1", "###.#");
    auto* device =
        new ListField(*m_test, "Discharge Device", {"Playpipes"}, ListField::Mode::ListOrText);
    for (QWidget* w : {static_cast<QWidget*>(rpm), static_cast<QWidget*>(pressure),
                       static_cast<QWidget*>(device)})
        layout->addWidget(w);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // Clicks at the left edge, where the caret would go before the right-aligned text.
    const auto clickInto = [](QWidget* w) {
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(3, w->height() / 2));
    };

    clickInto(rpm);
    QTest::keyClicks(rpm, "1788");
    QCOMPARE(m_test->value("RPM1").toDouble(), 1788.0);
    // A second click places the caret; a fifth digit is refused, the others stay.
    clickInto(rpm);
    QVERIFY(!rpm->hasSelectedText());
    QSignalSpy refused(rpm, &QLineEdit::inputRejected);
    QTest::keyClicks(rpm, "5");
    QCOMPARE(refused.count(), 1);
    QCOMPARE(m_test->value("RPM1").toDouble(), 1788.0);

    m_test->setValue("Discharge Pressure1", 0.0);
    clickInto(pressure);
    QTest::keyClicks(pressure, "142");
    QCOMPARE(m_test->value("Discharge Pressure1").toDouble(), 142.0);

    clickInto(device->lineEdit());
    QTest::keyClicks(device->lineEdit(), "Monitor");
    QCOMPARE(m_test->value("Discharge Device").toString(), QString("Monitor"));
}

void FieldsTest::lists() {
    ListField type(*m_test, "Test Method", {"Devices with hose", "Open butt", "Standpipe"},
                   ListField::Mode::ListOnly);
    QCOMPARE(type.currentIndex(), -1);
    QTest::keyClick(&type, Qt::Key_Down);
    QCOMPARE(m_test->state(), TableState::Edit);
    QCOMPARE(m_test->value("Test Method").toString(), QString("Devices with hose"));
    m_test->post();

    ListField device(*m_test, "Discharge Device", {"Playpipes", "Flow Meter"},
                     ListField::Mode::ListOrText);
    QTest::keyClicks(device.lineEdit(), "Monitor");
    QCOMPARE(m_test->value("Discharge Device").toString(), QString("Monitor"));
    m_test->setValue("Discharge Device", "flow meter");
    QCOMPARE(device.currentText(), QString("flow meter"));
    m_test->cancel();
    QCOMPARE(device.currentText(), QString());
    QCOMPARE(type.currentText(), QString("Devices with hose"));
}

void FieldsTest::listsAreNamedByTheirCaption() {
    m_test->edit();
    m_test->setValue("Discharge Device", "Playpipes");
    QWidget page;
    PageFields built(*m_test);
    built.addGrid(
        &page,
        {{"Discharge &Device:", "Discharge Device", FieldKind::ListOrText, {}, 0, {"Playpipes"}}});
    const FieldMap& fields = built.map();
    // A list made by hand takes the name of the label whose buddy it is.
    auto* method =
        new ListField(*m_test, "Test Method", {"Open butt"}, ListField::Mode::ListOnly, &page);
    (new QLabel("Test &Method:", &page))->setBuddy(method);
    m_test->setValue("Test Method", "Open butt");

    const auto text = [](QWidget* w, QAccessible::Text t) {
        return QAccessible::queryAccessibleInterface(w)->text(t);
    };
    QWidget* device = fields.value("Discharge Device");
    QCOMPARE(text(device, QAccessible::Name), QString("Discharge Device"));
    QCOMPARE(text(device, QAccessible::Value), QString("Playpipes"));
    QCOMPARE(text(method, QAccessible::Name), QString("Test Method"));
    QCOMPARE(text(method, QAccessible::Value), QString("Open butt"));
}

void FieldsTest::checkAndMemo() {
    CheckField velocity(*m_test, "Velocity Pressure", "Velocity Pressure");
    QSignalSpy edits(m_test.get(), &Table::afterEdit);
    bool seenInClick = false;
    connect(&velocity, &QCheckBox::clicked, this,
            [&] { seenInClick = m_test->value("Velocity Pressure").toBool(); });
    QTest::keyClick(&velocity, Qt::Key_Space);
    QCOMPARE(edits.count(), 1);
    QVERIFY(seenInClick);
    QVERIFY(velocity.isChecked());
    m_test->post();
    QVERIFY(m_test->value("Velocity Pressure").toBool());

    MemoField notes(*m_test, "Notes");
    QCOMPARE(notes.lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QTest::keyClicks(&notes, "Gland leaks");
    QCOMPARE(m_test->value("Notes").toString(), QString("Gland leaks"));
    m_test->post();
    m_test->edit();
    m_test->setValue("Notes", QVariant());
    QCOMPARE(notes.toPlainText(), QString());
    m_test->cancel();
    QCOMPARE(notes.toPlainText(), QString("Gland leaks"));
}

QTEST_MAIN(FieldsTest)
#include "fields_test.moc"
