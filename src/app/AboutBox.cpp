#include "app/AboutBox.h"

#include "NerovaVersion.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>
#include <sqlite3.h>
#include <zip.h>

namespace nerova {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Nerova 2002"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_text = QStringLiteral("Nerova 2002\nVersion %1\n\nFire pump test records and reports.\n\n"
                            "Built with Qt %2, SQLite %3 and libzip %4.\n\n"
                            "This program is free software under the GNU General Public "
                            "License,\nversion 3 or any later version. It comes with NO WARRANTY.")
                 .arg(QStringLiteral(NEROVA_VERSION), QString::fromLatin1(qVersion()),
                      QString::fromLatin1(sqlite3_libversion()),
                      QString::fromLatin1(zip_libzip_version()));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(m_text, this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace nerova
