#include "app/TestsDueModel.h"

#include "data/EngineError.h"
#include "data/LatestTests.h"
#include "print/TestReportRulesFormat.h"

#include <algorithm>
#include <numeric>

namespace nerova {

namespace {

QString dateText(const QDate& d) {
    return d.isValid() ? TestReportRulesFormat::date(d) : QString();
}

} // namespace

TestsDueModel::TestsDueModel(Database& db, QObject* parent)
    : QAbstractTableModel(parent), m_db(db) {
    m_statuses = {DueStatus::Overdue, DueStatus::DueSoon};
}

void TestsDueModel::setPumps(QList<DuePump> pumps, int warningDays) {
    m_pumps = std::move(pumps);
    m_judgingFailed = false;
    m_warningDays = warningDays;
    rebuild();
}

void TestsDueModel::reschedule(const DueSettings& settings, const QDate& today) {
    scheduleDue(m_pumps, settings, today);
    m_warningDays = settings.bounded().warningDays;
    rebuild();
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void TestsDueModel::setFilter(const QSet<DueStatus>& statuses, const QString& text) {
    m_statuses = statuses;
    m_text = text.trimmed();
    rebuild();
}

void TestsDueModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount)
        return;
    // Sorting by verdict judges every row first; when that read fails the order stays.
    if (column == VerdictColumn)
        judgeVerdicts(m_db, m_pumps);
    m_sortColumn = column;
    m_order = order;
    rebuild();
}

void TestsDueModel::rebuild() {
    // New rows while sorted by verdict. A failed read sorts the rows without verdicts first
    // rather than leave the table half rebuilt.
    if (m_sortColumn == VerdictColumn && !m_judgingFailed) {
        try {
            judgeVerdicts(m_db, m_pumps);
        } catch (const EngineError&) {
            m_judgingFailed = true;
        }
    }
    beginResetModel();
    QList<int> order(m_pumps.size());
    std::iota(order.begin(), order.end(), 0);
    // Stable, from key order: equal rows stay in key order whichever way they are sorted.
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return m_order == Qt::AscendingOrder ? less(m_pumps[a], m_pumps[b], m_sortColumn)
                                             : less(m_pumps[b], m_pumps[a], m_sortColumn);
    });
    m_shown.clear();
    for (int i : order) {
        const DuePump& p = m_pumps[i];
        if (m_statuses.contains(p.status) && dueMatches(p, m_text))
            m_shown << i;
    }
    endResetModel();
}

bool TestsDueModel::less(const DuePump& a, const DuePump& b, int column) const {
    switch (column) {
    case LastTestColumn:
        return a.lastTest < b.lastTest; // never tested first
    case DueColumn:
        return a.due < b.due;
    case DaysColumn:
        return a.daysUntilDue < b.daysUntilDue;
    case StatusColumn:
        return static_cast<int>(a.status) < static_cast<int>(b.status);
    default:
        return text(a, column).compare(text(b, column), Qt::CaseInsensitive) < 0;
    }
}

QList<DuePump> TestsDueModel::shownPumps() const {
    QList<DuePump> out;
    out.reserve(m_shown.size());
    QList<DuePump*> shown;
    shown.reserve(m_shown.size());
    for (int i : m_shown)
        shown << &m_pumps[i];
    judgeVerdicts(m_db, shown);
    for (const DuePump* p : shown)
        out << *p;
    return out;
}

int TestsDueModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int TestsDueModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

void TestsDueModel::judgeFrom(int row) const {
    if (m_judgingFailed)
        return;
    QList<DuePump*> batch;
    for (qsizetype r = row; r < m_shown.size() && batch.size() < kTestsByKeyBatch; ++r)
        if (!m_pumps[m_shown[r]].judged())
            batch << &m_pumps[m_shown[r]];
    try {
        judgeVerdicts(m_db, batch);
    } catch (const EngineError&) {
        // Painting is no place for an error box, which would be painted over and shown again.
        m_judgingFailed = true;
    }
}

QString TestsDueModel::text(const DuePump& p, int column) const {
    switch (column) {
    case CompanyColumn:
        return p.company;
    case LocationColumn:
        return p.location;
    case PumpColumn:
        return p.pumpId;
    case SerialColumn:
        return p.serial;
    case LastTestColumn:
        return dateText(p.lastTest);
    case VerdictColumn:
        return p.verdict;
    case DueColumn:
        return p.status == DueStatus::NeverTested ? tr("Now") : dateText(p.due);
    case DaysColumn:
        return QString::number(p.daysUntilDue);
    case StatusColumn:
        return dueStatusText(p.status, m_warningDays);
    case ContactColumn:
        return p.contact;
    case PhoneColumn:
        return p.phone;
    case EmailColumn:
        return p.email;
    default:
        return {};
    }
}

QVariant TestsDueModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    const DuePump& p = m_pumps[m_shown[index.row()]];
    if (role == Qt::DisplayRole && index.column() == VerdictColumn && !p.judged())
        judgeFrom(index.row());
    if (role == Qt::DisplayRole)
        return text(p, index.column());
    if (role == Qt::TextAlignmentRole && index.column() == DaysColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() == LastTestColumn && p.testsAhead > 0)
        return p.testsAhead == 1
                   ? tr("A test dated after today is not counted.")
                   : tr("%1 tests dated after today are not counted.").arg(p.testsAhead);
    return {};
}

QVariant TestsDueModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // A first click on a header sorts upwards, whatever the style would choose.
    if (orientation == Qt::Horizontal && role == Qt::InitialSortOrderRole)
        return QVariant::fromValue(static_cast<int>(Qt::AscendingOrder));
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case CompanyColumn:
        return tr("Company");
    case LocationColumn:
        return tr("Location");
    case PumpColumn:
        return tr("Pump");
    case SerialColumn:
        return tr("Serial Number");
    case LastTestColumn:
        return tr("Last Test");
    case VerdictColumn:
        return tr("Last Verdict");
    case DueColumn:
        return tr("Next Due");
    case DaysColumn:
        return tr("Days Until Due");
    case StatusColumn:
        return tr("Status");
    case ContactColumn:
        return tr("Contact");
    case PhoneColumn:
        return tr("Phone");
    case EmailColumn:
        return tr("E-mail");
    default:
        return {};
    }
}

} // namespace nerova
