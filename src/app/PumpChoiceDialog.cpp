#include "app/PumpChoiceDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace nerova {

PumpChoiceDialog::PumpChoiceDialog(const QStringList& items, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Pump Serial"));
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(tr("Several pumps match. &Choose one:"), this);
    List = new QListWidget(this);
    List->setObjectName(QStringLiteral("List"));
    List->addItems(items);
    List->setCurrentRow(0);
    List->setMinimumWidth(List->sizeHintForColumn(0) + 40);
    caption->setBuddy(List);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(caption);
    layout->addWidget(List, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(List, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

int PumpChoiceDialog::chosen() const {
    return List->currentRow();
}

} // namespace nerova
