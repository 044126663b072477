#pragma once

#include "eval/TestsDue.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSet>

namespace nerova {

class Database;

// The rows of the Tests Due window: every pump read, of which those passing the status and
// text filter are shown, in the order of the column last sorted by (due date, oldest first,
// at the start). Ties keep the pumps' key order, so the order is the same on every refresh.
// The verdict of a pump's latest test is judged when its row is first painted (with the rows
// that follow it, a screenful at a time), printed or exported, or when the rows are sorted by
// verdict.
class TestsDueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        CompanyColumn,
        LocationColumn,
        PumpColumn,
        SerialColumn,
        LastTestColumn,
        VerdictColumn,
        DueColumn,
        DaysColumn,
        StatusColumn,
        ContactColumn,
        PhoneColumn,
        EmailColumn,
        ColumnCount
    };

    explicit TestsDueModel(Database& db, QObject* parent = nullptr);

    // Every pump, in key order, already scheduled.
    void setPumps(QList<DuePump> pumps, int warningDays);
    // The due dates worked out again from new settings.
    void reschedule(const DueSettings& settings, const QDate& today);
    void setFilter(const QSet<DueStatus>& statuses, const QString& text);

    const QList<DuePump>& pumps() const { return m_pumps; }
    // The rows shown, in the order shown, their verdicts judged. Throws EngineError when the
    // tests cannot be read.
    QList<DuePump> shownPumps() const;
    const DuePump& pumpAt(int row) const { return m_pumps[m_shown[row]]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void rebuild();
    // Judges the verdicts of the shown rows from row on, as many as one read brings.
    void judgeFrom(int row) const;
    QString text(const DuePump& p, int column) const;
    bool less(const DuePump& a, const DuePump& b, int column) const;

    Database& m_db;
    // Mutable: a verdict is judged when its row is first shown.
    mutable QList<DuePump> m_pumps;
    // A read for the painted rows failed: the rows go without verdicts rather than try again
    // on every paint. Printing and exporting still try, and say what went wrong.
    mutable bool m_judgingFailed = false;
    QList<int> m_shown; // indexes into m_pumps
    QSet<DueStatus> m_statuses;
    QString m_text;
    int m_warningDays = DueSettings::kDefaultWarningDays;
    int m_sortColumn = DueColumn;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

} // namespace nerova
