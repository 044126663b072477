#pragma once

#include "controls/PageFields.h"

#include <QWidget>

namespace nerova {

class Table;

// The Company and the Location page: who and where on the left, the "Contact Information"
// block on the right, the notes below. The Location page adds "Same as Company".
class ContactPage : public QWidget {
    Q_OBJECT
public:
    // location: the page edits the location table (and shows "Same as Company").
    ContactPage(Table& table, bool location, QWidget* parent = nullptr);

    QWidget* field(const QString& column) const { return m_fields.field(column); }
    // The "ID:" field; disabled except while a new record is being inserted.
    QWidget* identifierField() const { return m_identifier; }
    const FieldMap& fields() const { return m_fields.map(); }

private:
    PageFields m_fields;
    QWidget* m_identifier = nullptr;
};

} // namespace nerova
