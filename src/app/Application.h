#pragma once

#include <QApplication>

namespace nerova {

// The program's application object. Its event handler is the last line of defence: an
// engine or file error that escapes a command is shown in an error box and the program
// keeps running.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
    int run();
};

} // namespace nerova
