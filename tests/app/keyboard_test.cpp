// The keyboard conveniences of the main window, pressed as a user would.
#include "AppFixture.h"
#include "app/ContactPage.h"
#include "app/Notebook.h"
#include "app/TestPage.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace nerova;
using namespace nerova::test;

namespace {
const QString kPending =
    QStringLiteral("Changed data must be Saved or Cancelled before proceeding.");
}

class KeyboardTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shortcutsActLikeTheirButtons_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("editing"); // "X" typed into the page's first text field first
        QTest::addColumn<QString>("panel");
        QTest::addColumn<TableState>("state");
        QTest::addColumn<QStringList>("shown"); // message texts, and "dialog" for one of ours
        const QKeySequence home(Qt::CTRL | Qt::Key_Home);
        const QKeySequence end(Qt::CTRL | Qt::Key_End);
        const QKeySequence print(Qt::CTRL | Qt::Key_P);
        const QKeySequence find(Qt::CTRL | Qt::Key_F);
        const auto browse = TableState::Browse;
        const auto edit = TableState::Edit;
        QTest::newRow("Ctrl+Home first")
            << home << 0 << false << "1 of 3" << browse << QStringList();
        QTest::newRow("Ctrl+End last") << end << 0 << false << "3 of 3" << browse << QStringList();
        QTest::newRow("Ctrl+PgUp prior") << QKeySequence(Qt::CTRL | Qt::Key_PageUp) << 0 << false
                                         << "1 of 3" << browse << QStringList();
        QTest::newRow("Ctrl+PgDn next") << QKeySequence(Qt::CTRL | Qt::Key_PageDown) << 0 << false
                                        << "3 of 3" << browse << QStringList();
        QTest::newRow("Alt+A last") << QKeySequence(Qt::ALT | Qt::Key_A) << 0 << false << "3 of 3"
                                    << browse << QStringList();
        QTest::newRow("Ctrl+End while editing")
            << end << 0 << true << "2 of 3" << edit << QStringList();
        QTest::newRow("Ctrl+N insert") << QKeySequence(Qt::CTRL | Qt::Key_N) << 0 << false
                                       << QString() << TableState::Insert << QStringList();
        QTest::newRow("Ctrl+S save") << QKeySequence(Qt::CTRL | Qt::Key_S) << 0 << true << "2 of 3"
                                     << browse << QStringList();
        QTest::newRow("Esc cancel") << QKeySequence(Qt::Key_Escape) << 0 << true << QString()
                                    << browse << QStringList{"Lose changed data?"};
        QTest::newRow("Ctrl+P print")
            << print << 0 << false << QString() << browse << QStringList{"dialog"};
        QTest::newRow("Ctrl+P while editing")
            << print << 0 << true << QString() << edit << QStringList{kPending};
        QTest::newRow("Ctrl+F lookup")
            << find << 0 << false << QString() << browse << QStringList{"dialog"};
        QTest::newRow("Ctrl+F off the company page")
            << find << 2 << false << QString() << browse << QStringList();
        // A saved test stays saved: the release of F or P is no keystroke of the field.
        QTest::newRow("Ctrl+F in a reading field")
            << find << 3 << false << QString() << browse << QStringList();
        QTest::newRow("Ctrl+P in a reading field")
            << print << 3 << false << QString() << browse << QStringList{"dialog"};
        // Ctrl+D would delete a character in the text field that has the focus.
        const QKeySequence due(Qt::CTRL | Qt::Key_D);
        QTest::newRow("Ctrl+D tests due")
            << due << 0 << false << QString() << browse << QStringList{"dialog"};
        QTest::newRow("Ctrl+D while editing")
            << due << 0 << true << QString() << edit << QStringList{kPending};
    }

    void shortcutsActLikeTheirButtons() {
        QFETCH(QKeySequence, keys);
        QFETCH(int, page);
        QFETCH(bool, editing);
        QFETCH(QString, panel);
        QFETCH(TableState, state);
        QFETCH(QStringList, shown);
        AppFixture f;
        TMainForm1& w = f.open();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        for (const char* id : {"AAA", "ZZZ"}) {
            f.company().insert();
            f.company().setValue("CompanyID", id);
            f.company().post();
        }
        f.company().locate({"CompanyID"}, {"ABC Paint Company"});
        w.selectPage(page);
        QWidget* field = page == 0   ? child<ContactPage>(w, "CompanyPage")->field("City")
                         : page == 3 ? child<TestPage>(w, "TestPage")->pointField("RPM1")
                                     : child<Notebook>(w, "MainNotebook")->currentPage();
        field->setFocus();
        if (editing)
            QTest::keyClicks(field, "X");
        f.prompt.clear();
        f.prompt.buttons.enqueue(shown.value(0) == kPending ? Prompt::Button::Ok
                                                            : Prompt::Button::Yes);
        f.prompt.dialogs.enqueue([](QDialog&) { return int(QDialog::Rejected); });
        QTest::keySequence(QApplication::focusWidget(), keys);
        if (!panel.isEmpty())
            QTRY_COMPARE(child<QLabel>(w, "RecCountPanel")->text(), panel);
        QCOMPARE(w.pageTable(page).state(), state);
        QStringList seen = f.prompt.texts();
        if (!f.prompt.dialogTitles.isEmpty())
            seen << "dialog";
        QCOMPARE(seen, shown);
    }

    void saveFromAReadingFieldEndsTheEdit() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.selectPage(3);
        QWidget* field =
            child<TestPage>(w, "TestPage")->pointField(QStringLiteral("Discharge Pressure5"));
        field->setFocus();
        QTest::keyClicks(field, "1");
        QCOMPARE(f.test().state(), TableState::Edit);
        // The release of S reaches the reading field, which re-evaluates on every release.
        QTest::keySequence(field, QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(f.test().state(), TableState::Browse);
        QCOMPARE(f.test().asFloat("Discharge Pressure5"), 1.0);
    }

    // Only a key that changes a field starts an edit of the saved test.
    void keysThatChangeNothingStartNoEdit_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        for (const char* column : {"Discharge Pressure2", "RPM2"}) {
            const QByteArray c(column);
            QTest::newRow(c + " Tab") << column << int(Qt::Key_Tab) << 0;
            QTest::newRow(c + " Shift+Tab") << column << int(Qt::Key_Backtab) << int(Qt::SHIFT);
            QTest::newRow(c + " Left") << column << int(Qt::Key_Left) << 0;
            QTest::newRow(c + " End") << column << int(Qt::Key_End) << 0;
            QTest::newRow(c + " Esc") << column << int(Qt::Key_Escape) << 0;
            QTest::newRow(c + " Shift") << column << int(Qt::Key_Shift) << 0;
            QTest::newRow(c + " Ctrl") << column << int(Qt::Key_Control) << 0;
            QTest::newRow(c + " F2") << column << int(Qt::Key_F2) << 0;
        }
        QTest::newRow("Velocity Pressure Tab") << "Velocity Pressure" << int(Qt::Key_Tab) << 0;
        QTest::newRow("Test Date F5") << "Test Date" << int(Qt::Key_F5) << 0;
    }
    void keysThatChangeNothingStartNoEdit() {
        QFETCH(QString, column);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        AppFixture f;
        TMainForm1& w = f.open();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.selectPage(3);
        QWidget* field = child<TestPage>(w, "TestPage")->field(column);
        field->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key),
                        Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f.test().state(), TableState::Browse);
        QVERIFY(!child<QPushButton>(w, "SaveBtn")->isEnabled());
    }

    // The box takes the press of Enter; its release, delivered to the field once the box is
    // gone, must not start the edit just cancelled again.
    void enterOnTheCancelQuestionLeavesTheTestSaved() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.selectPage(3);
        QWidget* field = child<TestPage>(w, "TestPage")->pointField("Discharge Pressure1");
        const double stored = f.test().asFloat("Discharge Pressure1");
        field->setFocus();
        QTest::keyClicks(field, "5");
        QCOMPARE(f.test().state(), TableState::Edit);
        f.prompt.buttons.enqueue(Prompt::Button::Yes);
        QTest::keyPress(field, Qt::Key_Escape);
        QCOMPARE(f.prompt.texts(), QStringList{"Lose changed data?"});
        QTest::keyRelease(field, Qt::Key_Escape);
        QTest::keyRelease(field, Qt::Key_Return);
        QCOMPARE(f.test().state(), TableState::Browse);
        QCOMPARE(f.test().asFloat("Discharge Pressure1"), stored);
        QVERIFY(!child<QPushButton>(w, "SaveBtn")->isEnabled());
    }

    void flowFieldOpensItsDialogFromTheKeyboard_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("F4") << int(Qt::Key_F4) << 0;
        QTest::newRow("Alt+Down") << int(Qt::Key_Down) << int(Qt::ALT);
    }
    void flowFieldOpensItsDialogFromTheKeyboard() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        AppFixture f;
        TMainForm1& w = f.open();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.selectPage(3);
        QWidget* flow = child<TestPage>(w, "TestPage")->flowField(2);
        QVERIFY(flow->toolTip().contains("F4"));
        QVERIFY(flow->toolTip().contains("Alt+Down"));
        flow->setFocus();
        QString caption;
        f.prompt.dialogs.enqueue([&](QDialog& d) {
            caption = child<QLabel>(d, "FlowPointNumberLabel")->text();
            return int(QDialog::Rejected);
        });
        QTest::keyClick(flow, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY2(caption.endsWith("2"), qPrintable(caption));
        QCOMPARE(f.test().state(), TableState::Browse);
    }

    // Enter on the Delete question answers No, whatever page asks it.
    void enterAfterDeleteDeletesNothing() {
        AppFixture f;
        TMainForm1& w = f.open();
        w.selectPage(3);
        const int tests = f.test().recordCount();
        Prompt::install(nullptr); // the real box, as the user meets it
        QTimer::singleShot(0, [] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            QTest::keyClick(box, Qt::Key_Return);
        });
        child<QPushButton>(w, "DeleteBtn")->click();
        Prompt::install(&f.prompt);
        QCOMPARE(f.test().recordCount(), tests);
    }

    void helpListsTheShortcuts() {
        AppFixture f;
        TMainForm1& w = f.open();
        QVERIFY(child<QPushButton>(w, "SaveBtn")->toolTip().contains("Ctrl+S"));
        QVERIFY(child<QPushButton>(w, "LastBtn")->toolTip().contains("Alt+A"));
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        child<QAction>(w, "KeyboardShortcuts1")->trigger();
        QCOMPARE(f.prompt.messages.size(), 1);
        QCOMPARE(f.prompt.messages[0].title, QString("Keyboard Shortcuts"));
        for (const char* keys : {"Ctrl+S", "Ctrl+N", "Esc", "Ctrl+P", "Ctrl+F", "Ctrl+Home",
                                 "Ctrl+End", "Ctrl+PgUp", "Ctrl+PgDown", "Ctrl+Shift+N"})
            QVERIFY2(f.prompt.lastText().contains(keys), keys);
    }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
