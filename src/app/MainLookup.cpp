// Finding companies and renaming records.
#include "app/LookUpDlg1.h"
#include "app/MainForm.h"
#include "app/Notebook.h"
#include "controls/Prompt.h"
#include "data/Identifiers.h"

#include <QApplication>
#include <QLineEdit>

namespace nerova {

namespace {

struct HourGlass {
    HourGlass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~HourGlass() { QApplication::restoreOverrideCursor(); }
};

const char* kLevelWords[4] = {"Company", "Location", "Pump", "Test"};

} // namespace

void TMainForm1::LookupClick(const QString& criterion) {
    if (!CheckTableState())
        return;
    const QString column =
        criterion == QLatin1String("ID") ? QStringLiteral("CompanyID") : criterion;
    TLookUpDlg dlg(criterion, this);
    if (Prompt::instance().runDialog(dlg) != QDialog::Accepted)
        return;
    const QString text = dlg.LookUpField->text().trimmed();
    // The typed text is matched literally; the table takes it as data, never as syntax.
    m_tables.company.setPrefixFilter(column, text);
}

void TMainForm1::LookupAllClick() {
    const bool editing = editPending();
    // During an edit every company shows again but nothing moves, so nothing typed is lost.
    m_tables.company.clearFilter(editing);
}

void TMainForm1::ChangeID1Click() {
    if (!CheckTableState())
        return;
    const int page = MainNotebook->currentIndex();
    const QString word = QString::fromLatin1(kLevelWords[page]);
    Table& t = pageTable(page);
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
    changeIdentifier(m_db, t.id(), key, *typed);
    t.refresh(); // the changed row stays current; the levels below follow it
}

} // namespace nerova
