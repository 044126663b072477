#include "app/OldBackupOffer.h"

#include "olddata/ImportOldDataDialog.h"
#include "olddata/OldArchive.h"
#include "prompt/Prompt.h"

namespace nerova {

TRestoreFrm::ForeignArchiveHandler oldDataImportOffer(Database& db, QWidget* parent) {
    return [&db, parent](const QString& archivePath) {
        if (!OldArchive::holdsOldTables(archivePath))
            return false;
        if (Prompt::askYesNo(Prompt::Kind::Confirmation,
                             QStringLiteral("This backup holds the tables of the former program, "
                                            "not of Nerova 2002, so it cannot be restored. "
                                            "Import them instead?"),
                             QStringLiteral("Restoring Data"))) {
            ImportOldDataDialog dlg(db, parent);
            dlg.setSource(archivePath);
            Prompt::instance().runDialog(dlg);
        }
        return true;
    };
}

} // namespace nerova
