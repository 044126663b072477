// After a backup or a restore the window comes back to the records it showed, so that the
// next Insert lands under the same pump.
#include "AppFixture.h"
#include "backup/BackupFrm.h"

#include <QAction>
#include <QLabel>
#include <QtTest>

using namespace nerova;
using namespace nerova::test;

namespace {

// Appends one row holding only its keys.
void addRow(Table& t, const QStringList& keys) {
    t.append();
    const QStringList names = t.def().keyNames();
    for (int i = 0; i < names.size(); ++i)
        t.setValue(names[i], keys[i]);
    t.post();
}

QStringList shown(TMainForm1& w) {
    return {child<QLabel>(w, "CompanyIDPanel")->text(), child<QLabel>(w, "LocationIDPanel")->text(),
            child<QLabel>(w, "PumpIDPanel")->text(), child<QLabel>(w, "TestIdPanel")->text()};
}

} // namespace

class ReopenTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void backupAndRestoreComeBackToTheRecord() {
        AppFixture f;
        TMainForm1& w = f.open();
        // A second company, after the demonstration one, with two tests under its pump.
        addRow(f.company(), {"ZULU"});
        addRow(f.location(), {"ZULU", "YARD"});
        addRow(f.pump(), {"ZULU", "YARD", "P2"});
        addRow(f.test(), {"ZULU", "YARD", "P2", "T1"});
        addRow(f.test(), {"ZULU", "YARD", "P2", "T2"});
        QCOMPARE(shown(w), (QStringList{"ZULU", "YARD", "P2", "T2"}));

        // The archive goes into the test's own folder, whatever folder the window offers.
        f.prompt.folders.enqueue(f.db.dataDir());
        f.prompt.dialogs.enqueue([](QDialog& d) {
            static_cast<TBackupFrm&>(d).ChangeButtonClick();
            static_cast<TBackupFrm&>(d).BackupButtonClick();
            return d.result();
        });
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        child<QAction>(w, "Backup1")->trigger();
        // Only where the archive went.
        QCOMPARE(f.prompt.texts().size(), 1);
        QVERIFY(f.prompt.lastText().startsWith("Backed up 5 tables ("));
        QCOMPARE(shown(w), (QStringList{"ZULU", "YARD", "P2", "T2"}));
        QCOMPARE(f.test().asString("PumpID"), QString("P2"));

        // A test the backup does not hold: the restore comes back to the pump's first test.
        addRow(f.test(), {"ZULU", "YARD", "P2", "T3"});
        f.prompt.clear();
        f.prompt.files.enqueue(f.db.dataDir() + "/NRVA2002DataBackup.zip");
        f.prompt.inputs.enqueue(QStringLiteral("YES"));
        f.prompt.buttons.enqueue(Prompt::Button::Ok);
        child<QAction>(w, "Restore1")->trigger();
        QCOMPARE(f.prompt.texts().size(), 1);
        QVERIFY(f.prompt.lastText().startsWith("All files were restored successfully."));
        QCOMPARE(shown(w), (QStringList{"ZULU", "YARD", "P2", "T1"}));
        QCOMPARE(f.test().recordCount(), 2);
    }
};

QTEST_MAIN(ReopenTest)
#include "reopen_test.moc"
