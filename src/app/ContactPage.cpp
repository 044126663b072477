#include "app/ContactPage.h"

#include "data/Schema.h"
#include "data/Table.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace nerova {

namespace {

QList<FieldEntry> identitySpecs(const QString& identifier, bool location) {
    QList<FieldEntry> specs = {
        {"ID:", identifier, FieldKind::Text, {}, 40},
        {"Name:", "Name", FieldKind::Text, {}, 40},
        {"Address:", "Address1", FieldKind::Text, {}, 40},
        {{}, "Address2", FieldKind::Text, {}, 40},
        {"City:", "City", FieldKind::Text, {}, 25},
        {"State:", "State", FieldKind::UpperText, {}, 2},
        {"Zip:", "Zip", FieldKind::Text, {}, 10},
    };
    if (location)
        specs.append({"Same as Company", "SameAsCompany", FieldKind::Check});
    return specs;
}

const QList<FieldEntry> kContactSpecs = {
    {"Name:", "Contact Name", FieldKind::Text, {}, 40},
    {"Title:", "Contact Title", FieldKind::Text, {}, 40},
    {"Dept:", "Contact Department", FieldKind::Text, {}, 40},
    {"Phone:", "Contact Phone", FieldKind::Phone},
    {.caption = "Ext:",
     .column = "Contact Phone Ext",
     .kind = FieldKind::Digits,
     .maxLength = 5,
     .sameRow = true},
    {"Fax:", "Contact Fax", FieldKind::Phone},
    {"Cell:", "Contact Cell", FieldKind::Phone},
    {"Email:", "Contact Email", FieldKind::Text, {}, 60},
};

const QList<FieldEntry> kNoteSpecs = {
    {"Notes:", "Notes", FieldKind::Memo},
    {"Private\nNotes:", "Private Notes", FieldKind::Memo},
};

} // namespace

ContactPage::ContactPage(Table& table, bool location, QWidget* parent)
    : QWidget(parent), m_fields(table) {
    const QString identifier = identifierColumn(table.id());

    auto* identity = new QWidget(this);
    QGridLayout* identityGrid = m_fields.addGrid(identity, identitySpecs(identifier, location));
    identityGrid->setContentsMargins(0, 0, 0, 0);
    identityGrid->setRowStretch(identityGrid->rowCount(), 1);

    auto* contact = new QGroupBox(tr("Contact Information"), this);
    m_fields.addGrid(contact, kContactSpecs);

    auto* notes = new QWidget(this);
    QGridLayout* notesGrid = m_fields.addGrid(notes, kNoteSpecs);
    notesGrid->setContentsMargins(0, 0, 0, 0);

    auto* top = new QHBoxLayout;
    top->addWidget(identity, 1);
    top->addWidget(contact, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(notes, 1);

    // The second address line has no caption of its own.
    m_fields.field(QStringLiteral("Address2"))->setAccessibleName(tr("Address line 2"));

    m_fields.chainTabOrder();
    m_identifier = m_fields.field(identifier);
    m_identifier->setEnabled(false);
}

} // namespace nerova
