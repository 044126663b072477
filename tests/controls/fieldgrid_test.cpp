#include "controls/DateField.h"
#include "controls/FieldGrid.h"
#include "controls/FieldLink.h"
#include "controls/ListField.h"
#include "controls/NumberField.h"
#include "controls/TextField.h"
#include "data/Database.h"
#include "data/Table.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace nerova;

class FieldGridTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void buildsEveryFieldWithItsCaptionAndKind();
    void tabFollowsTheListAndSkipsDisplayOnly();
};

namespace {

const QList<FieldEntry> kEntries = {
    {"&ID:", "TestID", FieldKind::Text},
    {"&Date:", "Test Date", FieldKind::Date},
    {"Method:", "Test Method", FieldKind::ListOrText, {}, 0, {"Open butt", "Standpipe"}},
    {"Disch:", "Discharge Pressure1", FieldKind::Number, "#######.#", 0, {}, "psi"},
    {"Net:",
     "Net Pressure1",
     FieldKind::Number,
     "#######.#",
     0,
     {},
     "psi",
     FieldAccess::DisplayOnly},
    {"RPM:", "RPM1", FieldKind::Number, "#,###", 0, {}, {}, FieldAccess::Normal, true, true},
    {"Velocity Pressure", "Velocity Pressure", FieldKind::Check},
    {"State:", "Tester1 State", FieldKind::UpperText},
    {"Notes:", "Notes", FieldKind::Memo},
};

} // namespace

void FieldGridTest::buildsEveryFieldWithItsCaptionAndKind() {
    QTemporaryDir tmp;
    Database db(tmp.filePath("aliases.ini"), tmp.filePath("data"));
    db.createTable(TableId::Test);
    Table table(db, TableId::Test);
    table.open();

    QWidget page;
    const FieldMap fields = FieldGrid::build(&page, table, kEntries);
    QCOMPARE(fields.size(), kEntries.size());
    for (const FieldEntry& entry : kEntries) {
        QWidget* field = fields.value(entry.column);
        QVERIFY2(field, qPrintable(entry.column));
        QCOMPARE(field->accessibleDescription(), entry.column);
        QCOMPARE(FieldGrid::linkOf(field)->column(), entry.column);
        if (entry.kind == FieldKind::Check) {
            QCOMPARE(qobject_cast<QCheckBox*>(field)->text(), entry.caption);
            QVERIFY(!FieldGrid::captionOf(field));
        } else {
            auto* caption = qobject_cast<QLabel*>(FieldGrid::captionOf(field));
            QVERIFY2(caption, qPrintable(entry.column));
            QCOMPARE(caption->text(), entry.caption);
        }
    }
    QVERIFY(qobject_cast<DateField*>(fields["Test Date"]));
    QCOMPARE(qobject_cast<ListField*>(fields["Test Method"])->mode(), ListField::Mode::ListOrText);
    QCOMPARE(qobject_cast<TextField*>(fields["Tester1 State"])->mode(), TextField::Mode::UpperCase);
    QCOMPARE(qobject_cast<TextField*>(fields["Tester1 State"])->maxLength(), 2);
    QVERIFY(qobject_cast<NumberField*>(fields["RPM1"])->picture().nonNegative());
    QCOMPARE(qobject_cast<NumberField*>(fields["Net Pressure1"])->access(),
             FieldAccess::DisplayOnly);

    // The unit follows its field; an entry marked sameRow continues the row of the one before.
    auto* grid = qobject_cast<QGridLayout*>(page.layout());
    int row = 0, column = 0, rs = 0, cs = 0;
    grid->getItemPosition(grid->indexOf(fields["Discharge Pressure1"]), &row, &column, &rs, &cs);
    QCOMPARE(column, 1);
    auto* unit = qobject_cast<QLabel*>(grid->itemAtPosition(row, 2)->widget());
    QCOMPARE(unit->text(), QString("psi"));
    int rpmRow = 0;
    grid->getItemPosition(grid->indexOf(fields["RPM1"]), &rpmRow, &column, &rs, &cs);
    grid->getItemPosition(grid->indexOf(fields["Net Pressure1"]), &row, &rs, &rs, &cs);
    QCOMPARE(rpmRow, row);
    QCOMPARE(column, 4);
}

void FieldGridTest::tabFollowsTheListAndSkipsDisplayOnly() {
    QTemporaryDir tmp;
    Database db(tmp.filePath("aliases.ini"), tmp.filePath("data"));
    db.createTable(TableId::Test);
    Table table(db, TableId::Test);
    table.open();

    QWidget page;
    const FieldMap fields = FieldGrid::build(&page, table, kEntries);
    page.show();
    QApplication::setActiveWindow(&page);
    QVERIFY(QTest::qWaitForWindowActive(&page));

    fields["TestID"]->setFocus();
    QStringList visited;
    for (int i = 0; i < kEntries.size() - 2; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* w = QApplication::focusWidget();
        while (w && !FieldGrid::linkOf(w))
            w = w->parentWidget(); // the edit part of a drop-down list
        QVERIFY(w);
        visited << FieldGrid::linkOf(w)->column();
    }
    QCOMPARE(visited, (QStringList{"Test Date", "Test Method", "Discharge Pressure1", "RPM1",
                                   "Velocity Pressure", "Tester1 State", "Notes"}));
}

QTEST_MAIN(FieldGridTest)
#include "fieldgrid_test.moc"
