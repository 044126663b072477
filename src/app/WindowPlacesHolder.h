#pragma once

#include <QString>

class QWidget;

namespace nerova {

class TableChain;

// The window's place on the desktop and the records it showed, kept from one run to the
// next in a settings file of the program's own. The 992-byte preferences file is never
// touched: its layout is shared with other copies and old files.
class WindowPlacesHolder {
public:
    WindowPlacesHolder(QWidget& window, TableChain& tables);

    // Remembers in the settings file at path from now on, and takes the window's place from
    // it at once (the records when the tables open). Without a file nothing is remembered.
    void useFile(const QString& path);
    static QString defaultFile(); // in the user's configuration folder

    void remember();
    // Stands each level on the record remembered for it.
    void restoreRecords();

private:
    QWidget& m_window;
    TableChain& m_tables;
    QString m_file;
};

} // namespace nerova
