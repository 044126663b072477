#pragma once

#include <QString>

namespace nerova {

// The program's own settings file (nerova2002.conf beside the alias registry), for choices
// the preferences file has no room for: that file keeps its fixed layout, which other
// copies of the program read.
class ProgramSettings {
public:
    static QString file();
    static bool flag(const QString& key, bool fallback);
    static void setFlag(const QString& key, bool on);
    // A whole number; the fallback when the key is missing or holds no number.
    static int number(const QString& key, int fallback);
    static void setNumber(const QString& key, int value);
    // The folder remembered under key while it still exists; else the user's documents
    // folder, else the home folder: where a file the user saves is offered to go.
    static QString folder(const QString& key);
    static void setFolder(const QString& key, const QString& folder);
};

} // namespace nerova
