#pragma once

#include "data/Table.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>

class QWidget;

namespace nerova {

// The tie between one entry field and one column of a table cursor. It asks the field to
// show the current row whenever that may have changed (a move, a refresh, a post or
// cancel, a change of state, a value written by other code) and carries what the user
// types into the row: the first change on a browsed row puts the table into edit, and
// every change after that goes straight into the edit buffer, so code reading the table
// sees the value as it is being typed.
class FieldLink : public QObject {
    Q_OBJECT
public:
    // showValue is called to put the current value on screen; field is watched for its
    // enabled state and parents this link.
    FieldLink(Table& table, const QString& column, QWidget* field, std::function<void()> showValue);

    Table* table() const { return m_table; }
    const QString& column() const { return m_column; }
    int columnIndex() const { return m_index; }
    ColumnType columnType() const;
    int columnSize() const; // characters of an alpha column, 0 otherwise

    // Whether there is a row to show: the table is open and either holds rows or is
    // inserting one.
    bool hasRow() const;
    // Whether the field should show blank: no row, or disabled with blankWhenDisabled set.
    bool showsBlank() const;
    // The value to show (null when blank).
    QVariant value() const;

    // By default a disabled field goes on showing its column (an identifier field is
    // disabled while browsing and must still name the record).
    void setBlankWhenDisabled(bool on);

    // Called when the user has changed the field. Starts editing a browsed row and writes
    // the value into the edit buffer. When there is no row, or the engine refuses, the
    // field is told to show the stored value again and false is answered; an engine error
    // is shown in an error box.
    bool write(const QVariant& value);
    // Starts editing without writing (for a keystroke whose value is not complete yet).
    bool beginEdit();

    // Shows the current value unless the field is the one writing it.
    void refresh();

Q_SIGNALS:
    // After a value typed or picked by the user reached the table.
    void valueWritten();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void columnChanged(int column);

    QPointer<Table> m_table;
    QString m_column;
    int m_index = -1;
    QWidget* m_field;
    std::function<void()> m_showValue;
    bool m_writing = false;
    bool m_blankWhenDisabled = false;
    bool m_stale = false; // the value changed while the field was out of sight
};

} // namespace nerova
