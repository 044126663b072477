#pragma once

#include "data/Schema.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <QVector>
#include <chrono>
#include <memory>
#include <optional>

namespace nerova {

class Database;

enum class TableState { Inactive, Browse, Edit, Insert };

// A cursor over one table: the visible rows (after master link and filter) in index order,
// kept as a list of row ids; the current row is read on each move, so a cursor never holds
// more than one row. Values are read and written by column name, ignoring letter case.
//
// Blank values are null QVariants. Alpha and memo columns are QString, numbers double,
// logicals bool, dates QDate, times QTime.
//
// Notifications follow the old desktop engines, which the windows rely on:
//  - a move (first/prior/next/last/locate/bookmark) refreshes every detail first (each
//    detail emits its own afterScroll), then emits this table's afterScroll;
//  - opening a table that holds rows emits afterScroll; opening an empty one emits nothing;
//  - insert/append emit afterInsert then afterScroll; edit emits afterEdit; post emits
//    afterPost; cancel emits afterCancel (and afterScroll when an insert was abandoned);
//    remove emits afterDelete then afterScroll;
//  - recordChanged whenever the values shown for the current row may have changed (move,
//    refresh, cancel, post), fieldChanged(column index) after setValue.
// Every failing operation throws EngineError and leaves the cursor in the state it had.
class Table : public QObject {
    Q_OBJECT
public:
    using Bookmark = qint64;

    Table(Database& db, TableId id, QObject* parent = nullptr);
    ~Table() override;

    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    TableId id() const { return m_id; }
    const TableDef& def() const;
    Database& database() const { return m_db; }

    // Open / close.
    void open();
    void close();
    bool isOpen() const { return m_state != TableState::Inactive; }
    TableState state() const { return m_state; }
    bool isEditing() const { return m_state == TableState::Edit || m_state == TableState::Insert; }

    // Movement over the visible rows.
    void first();
    void prior();
    void next();
    void last();
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    bool isEmpty() const;
    int recNo() const;       // 1-based; 0 when there is no current stored row
    int recordCount() const; // visible stored rows

    // Field access on the current row (the edit buffer while editing or inserting).
    QVariant value(const QString& column) const;
    QVariant value(int column) const;
    QString asString(const QString& column) const; // blank → ""; numbers without trailing zeros
    double asFloat(const QString& column) const;   // blank → 0
    bool asBool(const QString& column) const;      // blank → false
    QDate asDate(const QString& column) const;
    QTime asTime(const QString& column) const;
    bool isNull(const QString& column) const;
    // Writes a column of the edit buffer; the table must be in edit or insert.
    void setValue(const QString& column, const QVariant& value);
    void setValue(int column, const QVariant& value);
    int columnIndex(const QString& column) const; // throws for an unknown column

    // Editing.
    void insert(); // new row at the cursor
    void append(); // new row at the end
    void edit();
    void post();
    void cancel();
    void remove(); // deletes the current row; the next row becomes current

    // Moves to the first visible row whose columns equal the values.
    bool locate(const QStringList& columns, const QVariantList& values,
                Qt::CaseSensitivity cs = Qt::CaseSensitive);
    Bookmark bookmark() const; // 0 when there is no current stored row
    bool gotoBookmark(Bookmark b);

    // Visible rows: a prefix filter on one column (letter case ignored, text taken
    // literally); an empty text clears it.
    // The table moves to its first visible row. With keepPosition the current row (or the
    // row an insert will return to) stays current instead, nothing is posted, and an edit
    // in progress is left exactly as it is.
    void setPrefixFilter(const QString& column, const QString& prefix, bool keepPosition = false);
    void clearFilter(bool keepPosition = false) { setPrefixFilter({}, {}, keepPosition); }
    QString filterColumn() const { return m_filterColumn; }
    QString filterText() const { return m_filterText; }

    // Order of the visible rows; the key columns when empty.
    void setIndexFieldNames(const QStringList& columns);

    // Master link: this table shows only the rows whose link columns equal the master's
    // current row, and follows its every move. Set before open().
    void setMaster(Table* master, const QStringList& linkColumns);
    Table* master() const { return m_master; }

    // Re-reads the visible rows, keeping the current row when it is still visible
    // (otherwise the row now at its position). Details follow. Emits afterScroll.
    void refresh();

    // The version of the current row as it was read, where others may write too: empty in
    // the file database and while nothing is shown.
    QString rowVersion() const { return m_version; }

    // Silences every notification until enableNotifications(), which does not replay them.
    // Code of the engine holds a QSignalBlocker instead.
    void disableNotifications() { blockSignals(true); }
    void enableNotifications() { blockSignals(false); }

Q_SIGNALS:
    void afterInsert();
    void afterEdit();
    void afterPost();
    void afterCancel();
    void afterDelete();
    void afterScroll();
    void afterOpen();
    void afterClose();
    void stateChanged(nerova::TableState state);
    void recordChanged();
    void fieldChanged(int column);

private:
    struct Impl;
    friend struct Impl;
    friend class TableChain; // drops what its opening read ahead

    void requery();
    void loadCurrent();
    // Where a round trip costs, reads in one what a move is about to read level by level:
    // this table's visible rows (ownRows), its row at `rowid` (or, without one, at
    // `position` among its visible rows), and for every open detail below its rows and its
    // first row. requery() and loadCurrent() take what fits and read the rest as usual.
    void readAhead(bool ownRows, std::optional<qint64> rowid, int position = 0,
                   bool closedToo = false);
    void dropAhead();
    bool takeAheadRows();
    bool takeAheadRow();
    QString filterCondition(QVariantList& binds) const; // empty without a filter
    void moveTo(int index, bool notify);
    void masterMoved();
    void refreshDetails();
    void setState(TableState s);
    QVariant convertIn(int column, const QVariant& v) const;
    QString whereClause(QVariantList& binds) const;
    QString orderClause() const; // the index order, rowid last

    Database& m_db;
    TableId m_id;
    TableState m_state = TableState::Inactive;
    Table* m_master = nullptr;
    QStringList m_linkColumns;
    QList<Table*> m_details;
    QStringList m_order;
    QString m_filterColumn;
    QString m_filterText;
    QVector<qint64> m_rows; // visible row ids in order
    int m_index = -1;       // current position in m_rows
    bool m_bof = true;
    bool m_eof = true;
    QVariantList m_buffer;  // values of the current row or the edit buffer
    QString m_version;      // the current row's version as read (servers only)
    bool m_rowGone = false; // the current row was deleted by someone else
    QVariantList m_saved;   // values before edit/insert (restored by cancel)
    struct Ahead {
        bool haveRows = false;
        qint64 masterRow = 0; // the master's row the rows were read under, and its state
        TableState masterState = TableState::Browse;
        QVector<qint64> rows;
        bool haveRow = false;
        qint64 rowid = 0; // 0: no row
        QVariantList values;
        QString version;
        quint64 epoch = 0;
        std::chrono::steady_clock::time_point readAt;
        bool fresh(const Database& db) const;
    };
    Ahead m_ahead;
    int m_savedIndex = -1; // position before an insert
};

} // namespace nerova
