#include "controls/DateField.h"
#include "controls/FieldGrid.h"
#include "controls/FieldLink.h"
#include "controls/ListField.h"
#include "controls/NumberField.h"
#include "controls/PageFields.h"
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
    PageFields built(table);
    built.addGrid(&page, kEntries);
    const FieldMap& fields = built.map();
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

    // The unit stands right after its field; an entry marked sameRow continues the row of
    // the one before, two columns on.
    auto* grid = qobject_cast<QGridLayout*>(page.layout());
    const auto cellOf = [grid](QWidget* field) {
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                if (QLayoutItem* item = grid->itemAtPosition(r, c);
                    item && item->layout() && item->layout()->indexOf(field) == 0)
                    return std::pair{r, c};
        return std::pair{-1, -1};
    };
    const auto [dischargeRow, dischargeColumn] = cellOf(fields["Discharge Pressure1"]);
    QCOMPARE(dischargeColumn, 1);
    auto* unit =
        qobject_cast<QLabel*>(grid->itemAtPosition(dischargeRow, 1)->layout()->itemAt(1)->widget());
    QCOMPARE(unit->text(), QString("psi"));
    const auto [rpmRow, rpmColumn] = cellOf(fields["RPM1"]);
    QCOMPARE(rpmRow, cellOf(fields["Net Pressure1"]).first);
    QCOMPARE(rpmColumn, 3);
}

void FieldGridTest::tabFollowsTheListAndSkipsDisplayOnly() {
    QTemporaryDir tmp;
    Database db(tmp.filePath("aliases.ini"), tmp.filePath("data"));
    db.createTable(TableId::Test);
    Table table(db, TableId::Test);
    table.open();

    QWidget page;
    PageFields built(table);
    built.addGrid(&page, kEntries);
    built.chainTabOrder();
    const FieldMap& fields = built.map();
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
