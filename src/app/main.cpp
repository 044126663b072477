#include "NerovaVersion.h"
#include "app/Application.h"
#include "app/CopyCommand.h"
#include "app/ImportOldCommand.h"
#include "data/Database.h"
#include "prompt/Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>
#include <QTextStream>

namespace {

// The menu starts us in the user's home, which is no place for a preferences file: with
// this option we work in our configuration folder instead, beside the alias registry.
// Started from a terminal without it, the preferences stay in the folder we start in.
const QString kConfigDirAsCwd = QStringLiteral("--config-dir-as-cwd");

bool enterConfigDirectory() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                        QStringLiteral("/nerova2002");
    if (QDir().mkpath(dir) && QDir::setCurrent(dir))
        return true;
    nerova::Prompt::error(QStringLiteral("The folder %1 cannot be created or opened.")
                              .arg(QDir::toNativeSeparators(dir)));
    return false;
}

QIcon windowIcon() {
    QIcon embedded;
    for (int size : {16, 32, 48, 64, 128, 256})
        embedded.addFile(
            QStringLiteral(":/icons/%1-%2.png").arg(QStringLiteral(NEROVA_APP_ID)).arg(size),
            QSize(size, size));
    // An icon theme may draw us in its own style; ours is the fallback.
    return QIcon::fromTheme(QStringLiteral(NEROVA_APP_ID), embedded);
}

} // namespace

int main(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--copy-to" || arg == "--copy-from") {
            // A command of the terminal: no window, no display needed.
            QCoreApplication core(argc, argv);
            QTextStream out(stdout);
            QTextStream err(stderr);
            return nerova::runCopyCommand(core.arguments(), nerova::Database::defaultRegistryPath(),
                                          nerova::Database::defaultDataDirectory(), out, err);
        }
        if (arg == "--import-old") {
            QCoreApplication core(argc, argv);
            QTextStream out(stdout);
            QTextStream err(stderr);
            return nerova::runImportOldCommand(core.arguments(),
                                               nerova::Database::defaultRegistryPath(),
                                               nerova::Database::defaultDataDirectory(), out, err);
        }
    }
    nerova::Application app(argc, argv);
    app.setApplicationVersion(QStringLiteral(NEROVA_VERSION));
    app.setDesktopFileName(QStringLiteral(NEROVA_APP_ID));
    app.setWindowIcon(windowIcon());
    if (app.arguments().contains(kConfigDirAsCwd) && !enterConfigDirectory())
        return 1;
    return app.run();
}
