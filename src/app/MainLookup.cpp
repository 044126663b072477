// Finding companies and renaming records.
#include "app/LookUpDlg.h"
#include "app/MainForm.h"
#include "app/Notebook.h"
#include "app/PumpChoiceDialog.h"
#include "controls/HourGlass.h"
#include "data/EngineError.h"
#include "data/Identifiers.h"
#include "data/Table.h"
#include "prompt/Prompt.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>

namespace nerova {

void TMainForm1::LookupClick(const QString& criterion) {
    if (!CheckTableState())
        return;
    const QString column =
        criterion == QLatin1String("ID") ? QStringLiteral("CompanyID") : criterion;
    TLookUpDlg dlg(criterion, this);
    if (Prompt::instance().runDialog(dlg) != QDialog::Accepted)
        return;
    const QString text = dlg.text().trimmed();
    // The typed text is matched literally; the table takes it as data, never as syntax.
    m_tables.company.setPrefixFilter(column, text);
    showFilterStatus();
}

void TMainForm1::LookupAllClick() {
    const bool editing = editPending();
    // During an edit every company shows again but nothing moves, so nothing typed is lost.
    m_tables.company.clearFilter(editing);
    showFilterStatus();
}

QString TMainForm1::filterStatus() const {
    return FilterStatus ? FilterStatus->text() : QString();
}

void TMainForm1::showFilterStatus() {
    // A window that shows fewer companies, or none at "0 of 0", says why and how to undo it.
    const Table& company = m_tables.company;
    QString text;
    if (company.isOpen() && !company.filterColumn().isEmpty()) {
        const QString criterion = company.filterColumn() == QLatin1String("CompanyID")
                                      ? QStringLiteral("ID")
                                      : company.filterColumn();
        const int count = company.recordCount();
        text = QStringLiteral("Filter: %1 begins with \"%2\" \u2014 %3; Lookup | All shows all")
                   .arg(criterion, company.filterText(),
                        count == 1 ? QStringLiteral("1 company")
                                   : QStringLiteral("%1 companies").arg(count));
    }
    if (!FilterStatus) {
        FilterStatus = new QLabel(this);
        FilterStatus->setObjectName(QStringLiteral("FilterStatus"));
        FilterStatus->setTextFormat(Qt::PlainText);
        statusBar()->insertWidget(0, FilterStatus);
    }
    FilterStatus->setText(text);
}

void TMainForm1::ChangeID1Click() {
    if (!CheckTableState())
        return;
    Table& t = m_tables.table(shownLevel());
    const QString word = QString::fromLatin1(t.def().label);
    if (!t.isOpen() || t.isEmpty()) {
        // Asking for a new identifier first and then doing nothing would look like success.
        Prompt::information(QStringLiteral("There is no %1 record to change.").arg(word));
        return;
    }
    const std::optional<QString> typed =
        Prompt::instance().inputText(QStringLiteral("Change %1 ID").arg(word),
                                     QStringLiteral("Enter new %1 ID:").arg(word), QString());
    if (!typed)
        return;
    const QString trimmed = typed->trimmed();
    if (trimmed.isEmpty()) {
        Prompt::error(QStringLiteral("New %1 ID can't be blank").arg(word));
        return;
    }
    QVariantList key;
    for (const QString& column : t.def().keyNames())
        key << t.value(column);
    // Every sibling counts, including companies a lookup filter hides, so the change can
    // never fail half-way on a duplicate.
    if (identifierInUse(m_db, t.id(), key, trimmed)) {
        Prompt::error(QStringLiteral("New %1 ID must be unique!").arg(word));
        return;
    }
    HourGlass busy;
    try {
        changeIdentifier(m_db, t.id(), key, *typed);
    } catch (const EngineError& e) {
        // Another user changed the record meanwhile: show it as it is now.
        if (e.code() == EngineError::Code::Conflict)
            t.refresh();
        throw;
    }
    t.refresh(); // the changed row stays current; the levels below follow it
}

void TMainForm1::LookupSerialClick() {
    if (!CheckTableState())
        return;
    const std::optional<QString> typed = Prompt::instance().inputText(
        QStringLiteral("Pump Serial"), QStringLiteral("Find the pump with serial number:"));
    if (!typed || typed->trimmed().isEmpty())
        return;
    const QString serial = typed->trimmed();
    struct Match {
        QString company, location, pump, serial;
    };
    QList<Match> matches;
    {
        // A cursor of its own over every pump, whatever the window shows.
        Table pumps(m_db, TableId::Pump);
        pumps.open();
        pumps.setPrefixFilter(QStringLiteral("Pump SN"), serial);
        for (pumps.first(); !pumps.eof(); pumps.next())
            matches.append({pumps.asString(QStringLiteral("CompanyID")),
                            pumps.asString(QStringLiteral("LocationID")),
                            pumps.asString(QStringLiteral("PumpID")),
                            pumps.asString(QStringLiteral("Pump SN"))});
    }
    // A serial typed in full names its pump, even when longer serials begin with it.
    QList<Match> exact;
    for (const Match& m : matches)
        if (m.serial.compare(serial, Qt::CaseInsensitive) == 0)
            exact.append(m);
    if (!exact.isEmpty())
        matches = exact;
    if (matches.isEmpty()) {
        Prompt::information(QStringLiteral("No pump has the serial number %1.").arg(serial));
        return;
    }
    int pick = 0;
    if (matches.size() > 1) {
        QStringList items;
        for (const Match& m : matches)
            items << QStringLiteral("%1  -  %2 / %3 / %4")
                         .arg(m.serial, m.company, m.location, m.pump);
        PumpChoiceDialog dlg(items, this);
        if (Prompt::instance().runDialog(dlg) != QDialog::Accepted || dlg.chosen() < 0)
            return;
        pick = dlg.chosen();
    }
    const Match& m = matches[pick];
    showPump(m.company, m.location, m.pump);
}

} // namespace nerova
