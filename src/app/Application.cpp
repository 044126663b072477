#include "app/Application.h"

#include "app/MainForm.h"
#include "data/Database.h"
#include "data/EngineError.h"
#include "data/Global.h"
#include "prefs/PreferencesRecord.h"
#include "prompt/Prompt.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <memory>

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
    // One program per database: a second copy would work on rows the first is changing.
    // The lock is released by the system when the holder dies, so a crash never leaves
    // the data locked.
    std::unique_ptr<QLockFile> lock;
    if (db.aliasExists(QString::fromLatin1(kAliasName))) {
        const QString dir = db.databaseDirectory();
        if (QFileInfo(dir).isDir()) {
            lock = std::make_unique<QLockFile>(QDir(dir).filePath(QStringLiteral("NRVA2002.lck")));
            lock->setStaleLockTime(0);
            if (!lock->tryLock(0) && lock->error() == QLockFile::LockFailedError) {
                Prompt::error(QStringLiteral("The data is in use by another copy of Nerova 2002."));
                return 1;
            }
        }
    }
    TMainForm1 form(db, preferences(), QDir::currentPath());
    form.usePlacesFile(TMainForm1::defaultPlacesFile());
    form.show();
    return exec();
}

} // namespace nerova
