#include "controls/NumberField.h"
#include "controls/TextField.h"
#include "data/Database.h"
#include "data/Table.h"
#include "support/ScriptedPrompt.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

using namespace nerova;
using nerova::test::ScriptedPrompt;

// The numeric entries: their pictures, what they store while typed and after, and what
// they show.
class NumberFieldsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void numberPicture_data();
    void numberPicture();
    void numberFieldEnforcesPicture();
    void leavingANumberOfAnotherForm_data();
    void leavingANumberOfAnotherForm();
    void blankNumberStaysNull();
    void numberShowsThousandsOnlyWhenNotTyping();
    void numberShowsTheDecimalsOfItsPicture_data();
    void numberShowsTheDecimalsOfItsPicture();
    void keyReleaseSeesTypedValue();

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Table> m_test;
};

void NumberFieldsTest::init() {
    m_tmp = std::make_unique<QTemporaryDir>();
    m_db = std::make_unique<Database>(m_tmp->filePath("aliases.ini"), m_tmp->filePath("data"));
    m_db->createTable(TableId::Test);
    m_test = std::make_unique<Table>(*m_db, TableId::Test);
    m_test->open();
    m_test->append();
    for (const char* key : {"CompanyID", "LocationID", "PumpID", "TestID"})
        m_test->setValue(QString::fromLatin1(key), QStringLiteral("K"));
    m_test->post();
}

void NumberFieldsTest::cleanup() {
    m_test.reset();
    m_db.reset();
    m_tmp.reset();
}

void NumberFieldsTest::numberPicture_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<bool>("nonNegative");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("state");

    const int ok = QValidator::Acceptable, no = QValidator::Invalid,
              partial = QValidator::Intermediate;
    QTest::newRow("fits") << "###.#" << false << "123.4" << ok;
    QTest::newRow("too many digits") << "###.#" << false << "1234" << no;
    QTest::newRow("too many decimals") << "###.#" << false << "12.34" << no;
    QTest::newRow("sign takes a position") << "###.#" << false << "-12" << ok;
    QTest::newRow("sign plus three digits") << "###.#" << false << "-123" << no;
    QTest::newRow("lone sign") << "#######.#" << false << "-" << partial;
    QTest::newRow("bounded by zero") << "###" << true << "-1" << no;
    QTest::newRow("nines take no sign") << "9999" << false << "-1" << no;
    QTest::newRow("point kept, no number without decimals") << "9999" << false << "12." << partial;
    QTest::newRow("letters") << "9999" << false << "1e3" << no;
    QTest::newRow("separators between groups") << "#,###" << false << "1,234" << ok;
    QTest::newRow("separator out of place") << "#,###" << false << "67,5" << partial;
    QTest::newRow("comma as the point") << "###.#" << false << "67,5" << ok;
    QTest::newRow("comma where no decimals") << "9999" << false << "67,5" << partial;
    QTest::newRow("blank") << "9999" << false << "" << ok;
}

void NumberFieldsTest::numberPicture() {
    QFETCH(QString, picture);
    QFETCH(bool, nonNegative);
    QFETCH(QString, text);
    QFETCH(int, state);
    NumberPicture p(picture);
    p.setNonNegative(nonNegative);
    QCOMPARE(static_cast<int>(p.validate(text)), state);
}

void NumberFieldsTest::numberFieldEnforcesPicture() {
    NumberField pressure(*m_test, "Discharge Pressure1", "###.#");
    QTest::keyClicks(&pressure, "1234");
    QCOMPARE(pressure.text(), QString("123"));
    QTest::keyClicks(&pressure, ".45");
    QCOMPARE(m_test->value("Discharge Pressure1").toDouble(), 123.4);

    NumberField flow(*m_test, "Flow2", "9999");
    flow.setNonNegative(true);
    QTest::keyClicks(&flow, "-50");
    QCOMPARE(m_test->value("Flow2").toDouble(), 50.0);

    NumberField signedOne(*m_test, "Suction Pressure1", "#######.#");
    QTest::keyClicks(&signedOne, "-");
    QVERIFY(m_test->isNull("Suction Pressure1"));
    QTest::keyClicks(&signedOne, "4.5");
    QCOMPARE(m_test->value("Suction Pressure1").toDouble(), -4.5);

    NumberPicture grouped("#,###");
    QCOMPARE(grouped.format(1234, true), QString("1,234"));
    QCOMPARE(grouped.format(-1234567, true), QString("-1,234,567"));
    QCOMPARE(NumberPicture("###.#").format(45, false), QString("45.0"));
    QCOMPARE(NumberPicture("##.###").format(2.5, false), QString("2.500"));
}

// A comma or a point never makes a number ten times larger: it is the decimal point, a
// thousands separator between groups of three, or no number at all, said on leaving.
void NumberFieldsTest::leavingANumberOfAnotherForm_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<double>("before");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("stored");

    QTest::newRow("comma for the point")
        << "Suction Pressure1"
        << "###.#" << 80.0 << "67,5" << QString() << "67.5" << 67.5;
    QTest::newRow("comma between groups")
        << "RPM1"
        << "#,###" << 1750.0 << "1,760" << QString() << "1,760" << 1760.0;
    QTest::newRow("comma out of place") << "RPM1"
                                        << "#,###" << 1750.0 << "67,5"
                                        << "67,5 is not a number of the form #,###."
                                        << "1,750" << 1750.0;
    QTest::newRow("comma in whole gallons") << "Flow1"
                                            << "9999" << 500.0 << "67,5"
                                            << "67,5 is not a number of the form 9999."
                                            << "500" << 500.0;
    QTest::newRow("point in whole gallons") << "Flow1"
                                            << "9999" << 500.0 << "67.5"
                                            << "67.5 is not a number of the form 9999."
                                            << "500" << 500.0;
}

void NumberFieldsTest::leavingANumberOfAnotherForm() {
    QFETCH(QString, column);
    QFETCH(QString, picture);
    QFETCH(double, before);
    QFETCH(QString, keys);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QFETCH(double, stored);
    m_test->edit();
    m_test->setValue(column, before);
    m_test->post();
    ScriptedPrompt prompt;
    if (!message.isEmpty())
        prompt.buttons.enqueue(Prompt::Button::Ok);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* other = new QLineEdit(&window);
    auto* field = new NumberField(*m_test, column, picture);
    layout->addWidget(other);
    layout->addWidget(field);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), field);
    QTest::keyClicks(field, keys);
    QCOMPARE(m_test->value(column).toDouble(), stored); // never 675

    QTest::keyClick(field, Qt::Key_Tab);
    QCOMPARE(field->displayText(), shown);
    QCoreApplication::processEvents(); // the box follows the change of focus
    QCOMPARE(prompt.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    m_test->post();
    QCOMPARE(m_test->value(column).toDouble(), stored);
}

void NumberFieldsTest::blankNumberStaysNull() {
    TextField id(*m_test, "TestID");
    NumberField rpm(*m_test, "RPM1", "#,###");
    QCOMPARE(rpm.text(), QString());
    QTest::keyClicks(&id, "2");
    m_test->post();
    QVERIFY(m_test->isNull("RPM1"));
    QCOMPARE(rpm.text(), QString());

    QTest::keyClicks(&rpm, "7");
    QCOMPARE(m_test->value("RPM1").toDouble(), 7.0);
    QTest::keyClick(&rpm, Qt::Key_Backspace);
    QVERIFY(m_test->isNull("RPM1"));
    m_test->post();
    QVERIFY(m_test->isNull("RPM1"));
}

void NumberFieldsTest::numberShowsThousandsOnlyWhenNotTyping() {
    m_test->edit();
    m_test->setValue("Corrected Flow1", 1500.0);
    QWidget window;
    NumberField flow(*m_test, "Corrected Flow1", "#,###", &window);
    QLineEdit other(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    other.setFocus();
    QCOMPARE(flow.text(), QString("1,500"));
    flow.setFocus();
    QCOMPARE(flow.text(), QString("1500"));
    other.setFocus();
    QCOMPARE(flow.text(), QString("1,500"));
}

void NumberFieldsTest::numberShowsTheDecimalsOfItsPicture_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("# shown") << "#.###" << 1.75 << "1.750";
    QTest::newRow("9 shown") << "#.999" << 1.75 << "1.750";
    QTest::newRow("every decimal") << "##.9#" << 2.0 << "2.00";
    QTest::newRow("grouped") << "#,###.99" << 1234.5 << "1,234.50";
    QTest::newRow("rounds to nothing") << "###.99" << -0.001 << "0.00";
}

void NumberFieldsTest::numberShowsTheDecimalsOfItsPicture() {
    QFETCH(QString, picture);
    QFETCH(double, value);
    QFETCH(QString, shown);
    NumberField field(*m_test, "Suction Pressure1", picture);
    m_test->edit();
    m_test->setValue("Suction Pressure1", value);
    QCOMPARE(field.text(), shown);
}

void NumberFieldsTest::keyReleaseSeesTypedValue() {
    NumberField speed(*m_test, "RPM1", "#,###");
    QList<double> seen;
    connect(&speed, &NumberField::keyReleased, this,
            [&] { seen << m_test->value("RPM1").toDouble(); });
    QTest::keyClicks(&speed, "17");
    QCOMPARE(seen, (QList<double>{1.0, 17.0}));
}

QTEST_MAIN(NumberFieldsTest)
#include "number_fields_test.moc"
