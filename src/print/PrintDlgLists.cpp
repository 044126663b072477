// The print dialog's lists: positioning a page on its selection, the user's moves through
// the lists, and the title rule of the first curve page.
#include "print/PrintDlg.h"

#include "print/TestReportRulesFormat.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTabWidget>
#include <algorithm>

namespace nerova {

const CurveSelection& TPrintDlg::selection(int curve) const {
    return m_selection[std::size_t(std::clamp(curve, 1, 4) - 1)];
}

int TPrintDlg::shownCurve() const {
    const int index = m_notebook->currentIndex();
    return index >= 0 && index < 4 ? index + 1 : 0;
}

void TPrintDlg::showPage(int index) {
    m_notebook->setCurrentIndex(index);
}

void TPrintDlg::NotebookPageChanged(int index) {
    if (index >= 0 && index < 4)
        positionPage(index + 1);
}

void TPrintDlg::positionPage(int curve) {
    if (!m_chain.company.isOpen())
        return;
    // The moves below store into the shown page's selection as they go; work from a copy.
    const CurveSelection wanted = m_selection[std::size_t(curve - 1)];
    m_positioning = true;
    wanted.locateIn(m_chain);
    m_positioning = false;
    syncLists(TableId::Location);
}

void TPrintDlg::TableAfterScroll(TableId level) {
    const int curve = shownCurve();
    if (curve == 0)
        return;
    Table& table = m_chain.table(level);
    m_selection[std::size_t(curve - 1)].at(level) =
        table.isOpen() ? table.asString(identifierColumn(table.id())) : QString();
    if (curve != 1 || m_positioning)
        return;
    if (level == TableId::Location || level == TableId::Test)
        setTitle1();
    else if (level == TableId::Pump)
        setTitle2();
}

void TPrintDlg::ListRowChanged(TableId level, int row) {
    const int curve = shownCurve();
    if (curve == 0 || row < 0 || !m_chain.company.isOpen())
        return;
    const QListWidgetItem* item =
        m_pages[std::size_t(curve - 1)].lists[std::size_t(levelIndex(level))]->item(row);
    if (!item)
        return;
    Table& table = m_chain.table(level);
    table.locate({identifierColumn(level)}, {item->text()});
    syncLists(levelAt(levelIndex(level) + 1));
}

void TPrintDlg::setTitle1() {
    const Table& location = m_chain.location;
    QString name = location.asBool(QStringLiteral("SameAsCompany"))
                       ? m_chain.company.asString(QStringLiteral("Name"))
                       : location.asString(QStringLiteral("Name"));
    if (m_chain.test.isOpen())
        name += QStringLiteral(" - ") +
                TestReportRulesFormat::date(m_chain.test.asDate(QStringLiteral("Test Date")));
    m_pages[0].title1->setText(name);
}

void TPrintDlg::setTitle2() {
    m_pages[0].title2->setText(m_chain.pump.asString(QStringLiteral("PumpID")));
}

QStringList TPrintDlg::identifiers(TableId level) {
    // Stand the reading chain on the rows the dialog's cursors stand on above `level`,
    // then read that level's rows in their order.
    for (TableId above = TableId::Company; above != level; above = levelAt(levelIndex(above) + 1)) {
        const Table& shown = m_chain.table(above);
        if (shown.isEmpty())
            return {};
        Table& reader = m_lister.table(above);
        const QString column = identifierColumn(above);
        if (!reader.locate({column}, {shown.value(column)}))
            return {};
    }
    QStringList ids;
    Table& reader = m_lister.table(level);
    const QString column = identifierColumn(level);
    reader.first();
    while (!reader.eof()) {
        ids << reader.asString(column);
        reader.next();
    }
    return ids;
}

void TPrintDlg::syncLists(TableId fromLevel) {
    if (!m_chain.company.isOpen() || !m_lister.company.isOpen())
        return;
    for (const TableId level : kRecordLevels) {
        if (levelIndex(level) < levelIndex(fromLevel))
            continue;
        const QStringList ids = identifiers(level);
        for (CurvePage& page : m_pages) {
            QListWidget* list = page.lists[std::size_t(levelIndex(level))];
            const QSignalBlocker blocker(list);
            list->clear();
            list->addItems(ids);
        }
    }
    for (const TableId level : kRecordLevels) {
        const int row = m_chain.table(level).recNo() - 1;
        for (CurvePage& page : m_pages) {
            QListWidget* list = page.lists[std::size_t(levelIndex(level))];
            const QSignalBlocker blocker(list);
            list->setCurrentRow(row);
        }
    }
}

} // namespace nerova
