#include "app/Application.h"

#include "app/MainForm.h"
#include "app/SingleCopyLock.h"
#include "app/WindowPlacesHolder.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Leftovers.h"
#include "prefs/PreferencesRecord.h"
#include "prompt/Prompt.h"

#include <QDir>
#include <QFileInfo>

namespace nerova {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Nerova 2002"));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    setFont(f);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const EngineError& e) {
        Prompt::error(e.text());
    } catch (const std::exception& e) {
        Prompt::error(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

int Application::run() {
    Database db(Database::defaultRegistryPath(), Database::defaultDataDirectory());
    SingleCopyLock lock(db);
    if (lock.refused()) {
        // A copy on another computer that has long stopped touching its lock is gone for
        // good (switched off, crashed): the user may take the data over from it.
        if (!lock.holderPlainlyGone()) {
            Prompt::error(lock.refusalText());
            return 1;
        }
        if (!Prompt::askYesNo(Prompt::Kind::Warning, lock.takeOverQuestion()) || !lock.takeOver())
            return 1;
    }
    // What runs of ours killed half-way left behind goes now: passing files are written
    // down beside the alias registry, the database directory's own are cleared with the
    // table check.
    setPassingRegister(QFileInfo(Database::defaultRegistryPath()).absolutePath() +
                       QStringLiteral("/passing"));
    removePassingLeftovers();
    TMainForm1 form(db, preferences(), QDir::currentPath());
    form.usePlacesFile(WindowPlacesHolder::defaultFile());
    form.show();
    return exec();
}

} // namespace nerova
