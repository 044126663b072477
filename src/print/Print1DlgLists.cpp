// The print dialog's lists: positioning a page on its selection, the user's moves through
// the lists, and the title rule of the first curve page.
#include "print/Print1Dlg.h"

#include "print/ReportRulesFormat.h"

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
    syncLists(2);
}

void TPrintDlg::TableAfterScroll(int level) {
    const int curve = shownCurve();
    if (curve == 0)
        return;
    Table& table = m_chain.at(level);
    m_selection[std::size_t(curve - 1)].at(level) =
        table.isOpen() ? table.asString(identifierColumn(table.id())) : QString();
    if (curve != 1 || m_positioning)
        return;
    if (level == 2 || level == 4)
        setTitle1();
    else if (level == 3)
        setTitle2();
}

void TPrintDlg::ListRowChanged(int level, int row) {
    const int curve = shownCurve();
    if (curve == 0 || row < 0 || !m_chain.company.isOpen())
        return;
    const QListWidgetItem* item =
        m_pages[std::size_t(curve - 1)].lists[std::size_t(level - 1)]->item(row);
    if (!item)
        return;
    Table& table = m_chain.at(level);
    table.locate({identifierColumn(table.id())}, {item->text()});
    syncLists(level + 1);
}

void TPrintDlg::setTitle1() {
    const Table& location = m_chain.location;
    QString name = location.asBool(QStringLiteral("SameAsCompany"))
                       ? m_chain.company.asString(QStringLiteral("Name"))
                       : location.asString(QStringLiteral("Name"));
    if (m_chain.test.isOpen())
        name += QStringLiteral(" - ") +
                ReportRulesFormat::date(m_chain.test.asDate(QStringLiteral("Test Date")));
    m_pages[0].title1->setText(name);
}

void TPrintDlg::setTitle2() {
    m_pages[0].title2->setText(m_chain.pump.asString(QStringLiteral("PumpID")));
}

QStringList TPrintDlg::identifiers(int level) {
    // Stand the reading chain on the rows the dialog's cursors stand on above `level`,
    // then read that level's rows in their order.
    for (int above = 1; above < level; ++above) {
        const Table& shown = m_chain.at(above);
        if (shown.isEmpty())
            return {};
        Table& reader = m_lister.at(above);
        const QString column = identifierColumn(reader.id());
        if (!reader.locate({column}, {shown.value(column)}))
            return {};
    }
    QStringList ids;
    Table& reader = m_lister.at(level);
    const QString column = identifierColumn(reader.id());
    reader.first();
    while (!reader.eof()) {
        ids << reader.asString(column);
        reader.next();
    }
    return ids;
}

void TPrintDlg::syncLists(int fromLevel) {
    if (!m_chain.company.isOpen() || !m_lister.company.isOpen())
        return;
    for (int level = std::max(fromLevel, 1); level <= 4; ++level) {
        const QStringList ids = identifiers(level);
        for (CurvePage& page : m_pages) {
            QListWidget* list = page.lists[std::size_t(level - 1)];
            const QSignalBlocker blocker(list);
            list->clear();
            list->addItems(ids);
        }
    }
    for (int level = 1; level <= 4; ++level) {
        const int row = m_chain.at(level).recNo() - 1;
        for (CurvePage& page : m_pages) {
            QListWidget* list = page.lists[std::size_t(level - 1)];
            const QSignalBlocker blocker(list);
            list->setCurrentRow(row);
        }
    }
}

} // namespace nerova
