#include "app/TablesExistCreateFrm.h"

#include <QApplication>
#include <QLabel>

namespace nerova {

TTablesExistCreateFrm::TTablesExistCreateFrm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TablesExistCreateFrm"));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    setFont(f);
    setFixedSize(378, 102);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setGeometry(4, 28, 370, 40);
}

void TTablesExistCreateFrm::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void TTablesExistCreateFrm::setLabel(const QString& text) {
    Label1->setText(text);
    Label1->repaint();
}

void TTablesExistCreateFrm::showWindow() {
    show();
    raise();
}

void TTablesExistCreateFrm::hideWindow() {
    hide();
}

void TTablesExistCreateFrm::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace nerova
