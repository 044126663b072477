#include "app/TablesExistCreateFrm.h"

#include <QApplication>
#include <QLabel>
#include <algorithm>

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
    Label1->setWordWrap(true);
    // The text can be selected so that a folder it names can be copied.
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1->setGeometry(4, 28, 370, 40);
}

void TTablesExistCreateFrm::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void TTablesExistCreateFrm::setLabel(const QString& text) {
    Label1->setText(text);
    // A longer text (where replaced files were put) makes the window taller rather than
    // being cut off; a short one gives it back its usual size.
    const int height = std::max(40, Label1->heightForWidth(Label1->width()));
    if (height != Label1->height()) {
        Label1->resize(Label1->width(), height);
        setFixedSize(378, std::max(102, 28 + height + 8));
    }
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
