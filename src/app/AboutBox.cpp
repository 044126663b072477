#include "app/AboutBox.h"

#include "NerovaVersion.h"
#include "backup/ZipArchiver.h"
#include "data/Database.h"
#include "data/EngineError.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace nerova {

namespace {

// Where the user's data is kept. A server that cannot be reached just now gives its reason
// instead, so the box still opens.
QString dataLine(Database& db) {
    try {
        return db.engineDescription();
    } catch (const EngineError& e) {
        return e.text().section(QLatin1Char('\n'), 0, 0);
    }
}

} // namespace

AboutBox::AboutBox(Database& db, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Nerova 2002"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    // The SQLite line names the library the program is built with, whatever holds the data;
    // a file database without a folder tells it without touching any file.
    m_text = QStringLiteral("Nerova 2002\nVersion %1\n\nFire pump test records and reports.\n\n"
                            "Built with Qt %2, %3 and libzip %4.\nData: %5\n\n"
                            "This program is free software under the GNU General Public "
                            "License,\nversion 3 or any later version. It comes with NO WARRANTY.")
                 .arg(QStringLiteral(NEROVA_VERSION), QString::fromLatin1(qVersion()),
                      Database(DataLocation{}).engineDescription(), ZipArchiver::libraryVersion(),
                      dataLine(db));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(m_text, this);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace nerova
