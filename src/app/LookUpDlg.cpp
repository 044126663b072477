#include "app/LookUpDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace nerova {

TLookUpDlg::TLookUpDlg(const QString& criterion, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("Look Up"));
    setFixedSize(313, 145);
    LookUpFieldLabel = new QLabel(QStringLiteral("Look Up - Company ") + criterion, this);
    LookUpFieldLabel->setObjectName(QStringLiteral("LookUpFieldLabel"));
    LookUpFieldLabel->setGeometry(16, 16, 281, 20);
    LookUpField = new QLineEdit(this);
    LookUpField->setObjectName(QStringLiteral("LookUpField"));
    LookUpField->setMaxLength(72);
    LookUpField->setGeometry(16, 40, 281, 24);
    LookUpField->setAccessibleName(LookUpFieldLabel->text());
    LookUpFieldLabel->setBuddy(LookUpField);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(70, 100, 80, 26);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(164, 100, 80, 26);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (parent) {
        const QRect r = parent->geometry();
        move(r.center() - QPoint(313 / 2, 145 / 2));
    }
}

QString TLookUpDlg::text() const {
    return LookUpField->text();
}

void TLookUpDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LookUpField->setFocus(Qt::OtherFocusReason);
}

} // namespace nerova
