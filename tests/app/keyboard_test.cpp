// The keyboard conveniences of the main window, pressed as a user would.
#include "AppFixture.h"
#include "app/ContactPage.h"
#include "app/Notebook.h"
#include "app/TestPage.h"

#include <QLabel>
#include <QPushButton>
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
        QWidget* field = page == 0 ? child<ContactPage>(w, "CompanyPage")->field("City")
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
                                 "Ctrl+End", "Ctrl+PgUp", "Ctrl+PgDown"})
            QVERIFY2(f.prompt.lastText().contains(keys), keys);
    }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
