// Finding companies and changing identifiers through the window.
#include "AppFixture.h"
#include "app/LookUpDlg.h"
#include "app/Notebook.h"
#include "app/PumpChoiceDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace nerova;
using namespace nerova::test;

namespace {

void addCompany(Table& t, const QString& id, const QString& name, const QString& state) {
    t.insert();
    t.setValue("CompanyID", id);
    t.setValue("Name", name);
    t.setValue("State", state);
    t.post();
}

// Answers the next lookup dialog with text (OK) or cancels it.
void answerLookup(ScriptedPrompt& p, const QString& text, bool ok = true,
                  QString* label = nullptr) {
    p.dialogs.enqueue([=](QDialog& d) {
        auto& dlg = static_cast<TLookUpDlg&>(d);
        if (label)
            *label = child<QLabel>(dlg, "LookUpFieldLabel")->text();
        child<QLineEdit>(dlg, "LookUpField")->setText(text);
        return ok ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
}

void fill(AppFixture& f) {
    addCompany(f.company(), "C1", "Coastal Fire", "CA");
    addCompany(f.company(), "C2", "O'Hara*Sprinklers", "NV");
    addCompany(f.company(), "C3", "Fire & Safety", "CA");
}

} // namespace

class LookupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stateTypedInLowerCase() {
        AppFixture f;
        TMainForm1& w = f.open();
        fill(f);
        QString label;
        answerLookup(f.prompt, "ca", true, &label);
        choose(w, "LookupState1");
        QCOMPARE(label, QString("Look Up - Company State"));
        QCOMPARE(f.company().recordCount(), 2);
        QCOMPARE(f.company().asString("CompanyID"), QString("C1"));
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("1 of 2"));
    }

    // An empty window at "0 of 0" explains itself, and says how to see every company again.
    void statusLineNamesTheFilter() {
        AppFixture f;
        TMainForm1& w = f.open();
        fill(f);
        QCOMPARE(w.filterStatus(), QString());
        answerLookup(f.prompt, " cold ");
        choose(w, "LookupName1");
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("0 of 0"));
        QCOMPARE(w.filterStatus(), QString::fromUtf8("Filter: Name begins with \"cold\" \u2014 0 "
                                                     "companies; Lookup | All shows all"));
        answerLookup(f.prompt, "c3");
        choose(w, "LookupID1");
        QCOMPARE(w.filterStatus(), QString::fromUtf8("Filter: ID begins with \"c3\" \u2014 1 "
                                                     "company; Lookup | All shows all"));
        choose(w, "LookupAll1");
        QCOMPARE(w.filterStatus(), QString());
    }

    void blanksTrimmedAndTextTakenLiterally() {
        AppFixture f;
        TMainForm1& w = f.open();
        fill(f);
        answerLookup(f.prompt, "  fire  ");
        choose(w, "LookupName1");
        QCOMPARE(f.company().recordCount(), 1);
        QCOMPARE(f.company().asString("CompanyID"), QString("C3"));
        answerLookup(f.prompt, "o'hara*");
        choose(w, "LookupName1");
        QCOMPARE(f.company().recordCount(), 1);
        QCOMPARE(f.company().asString("CompanyID"), QString("C2"));
        answerLookup(f.prompt, "*");
        choose(w, "LookupName1");
        QCOMPARE(f.company().recordCount(), 0);
        // A cancelled lookup keeps the filter.
        answerLookup(f.prompt, "C", false);
        choose(w, "LookupID1");
        QCOMPARE(f.company().recordCount(), 0);
        choose(w, "LookupAll1");
        QCOMPARE(f.company().recordCount(), 4);
        QCOMPARE(f.company().asString("CompanyID"), QString("ABC Paint Company"));
    }

    void lookupOnPumpPageShowsFirstPumpOfMatch() {
        AppFixture f;
        TMainForm1& w = f.open();
        fill(f);
        f.company().first();
        w.selectPage(2);
        answerLookup(f.prompt, "abc");
        choose(w, "LookupID1");
        QCOMPARE(child<Notebook>(w, "MainNotebook")->currentIndex(), 2);
        QCOMPARE(child<QLabel>(w, "PumpIDPanel")->text(), QString("01"));
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("1 of 1"));
    }

    void lookupAllDuringAnEditKeepsIt() {
        AppFixture f;
        TMainForm1& w = f.open();
        fill(f);
        answerLookup(f.prompt, "C3");
        choose(w, "LookupID1");
        f.company().edit();
        f.company().setValue("City", "Typed");
        choose(w, "LookupAll1");
        QCOMPARE(f.company().state(), TableState::Edit);
        QCOMPARE(f.company().asString("City"), QString("Typed"));
        QCOMPARE(f.company().recordCount(), 4);
        click(w, "SaveBtn");
        QCOMPARE(f.company().asString("CompanyID"), QString("C3"));
        QCOMPARE(f.company().asString("City"), QString("Typed"));
    }

    void changeIdMessagesAndCascade() {
        AppFixture f;
        TMainForm1& w = f.open();
        fill(f);
        f.company().locate({"CompanyID"}, {"ABC Paint Company"});
        // Cancel, blank, itself in other case, a company hidden by the filter.
        choose(w, "ChangeID1");
        QCOMPARE(f.prompt.inputPrompts.last(), QString("Change Company ID|Enter new Company ID:"));
        f.prompt.inputs.enqueue(QString("   "));
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        choose(w, "ChangeID1");
        QCOMPARE(f.prompt.lastText(), QString("New Company ID can't be blank"));
        f.prompt.inputs.enqueue(QString(" abc paint company "));
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        choose(w, "ChangeID1");
        QCOMPARE(f.prompt.lastText(), QString("New Company ID must be unique!"));
        answerLookup(f.prompt, "ABC");
        choose(w, "LookupID1");
        f.prompt.inputs.enqueue(QString("c2"));
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        choose(w, "ChangeID1");
        QCOMPARE(f.prompt.lastText(), QString("New Company ID must be unique!"));
        // A free identifier with blanks is written as typed; every level follows.
        f.prompt.clear();
        w.selectPage(1);
        f.prompt.inputs.enqueue(QString(" Plant 9 "));
        choose(w, "ChangeID1");
        QVERIFY(f.prompt.messages.isEmpty());
        QCOMPARE(f.location().asString("LocationID"), QString(" Plant 9 "));
        QCOMPARE(child<QLabel>(w, "LocationIDPanel")->text(), QString(" Plant 9 "));
        QCOMPARE(f.pump().asString("PumpID"), QString("01"));
        QCOMPARE(f.test().asString("TestID"), QString("20010731"));
        QCOMPARE(f.flow().recordCount(), 3);
        QCOMPARE(f.flow().asString("LocationID"), QString(" Plant 9 "));
    }

    void pumpFoundBySerialNumber() {
        AppFixture f;
        TMainForm1& w = f.open();
        fill(f);
        f.company().locate({"CompanyID"}, {"C3"});
        f.location().insert();
        f.location().setValue("LocationID", "North");
        f.location().post();
        f.pump().insert();
        f.pump().setValue("PumpID", "P7");
        f.pump().setValue("Pump SN", "845-136-DF6-B");
        f.pump().post();
        answerLookup(f.prompt, "C1"); // hides both pumps' companies
        choose(w, "LookupID1");
        // Typed in full, in other case: straight to that pump, the longer serial aside.
        f.prompt.inputs.enqueue(QString(" 845-136-df6 "));
        child<QAction>(w, "LookupSerial1")->trigger();
        QCOMPARE(child<Notebook>(w, "MainNotebook")->currentIndex(), 2);
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->text(), QString("ABC Paint Company"));
        QCOMPARE(child<QLabel>(w, "PumpIDPanel")->text(), QString("01"));
        // Several matches: the user picks one.
        f.prompt.inputs.enqueue(QString("845"));
        f.prompt.dialogs.enqueue([](QDialog& d) {
            auto& dlg = static_cast<PumpChoiceDialog&>(d);
            if (child<QListWidget>(dlg, "List")->count() != 2)
                return int(QDialog::Rejected);
            child<QListWidget>(dlg, "List")->setCurrentRow(1);
            return int(QDialog::Accepted);
        });
        child<QAction>(w, "LookupSerial1")->trigger();
        QCOMPARE(child<QLabel>(w, "CompanyIDPanel")->text(), QString("C3"));
        QCOMPARE(child<QLabel>(w, "PumpIDPanel")->text(), QString("P7"));
        QCOMPARE(child<QLabel>(w, "RecCountPanel")->text(), QString("1 of 1"));
        f.prompt.clear();
        f.prompt.inputs.enqueue(QString("XYZ"));
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        child<QAction>(w, "LookupSerial1")->trigger();
        QCOMPARE(f.prompt.texts(), QStringList{"No pump has the serial number XYZ."});
        QCOMPARE(child<QLabel>(w, "PumpIDPanel")->text(), QString("P7"));
    }

    void changeIdWithoutARecordSaysSo() {
        AppFixture f;
        TMainForm1& w = f.open();
        answerLookup(f.prompt, "no such company");
        choose(w, "LookupID1");
        f.prompt.clear();
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        choose(w, "ChangeID1");
        QVERIFY(f.prompt.inputPrompts.isEmpty());
        QCOMPARE(f.prompt.texts(), QStringList{"There is no Company record to change."});
    }
};

QTEST_MAIN(LookupTest)
#include "lookup_test.moc"
