#pragma once

#include <QString>
#include <QStringList>

namespace nerova {

// The file families that backup and restore carry, in the order the tables are opened:
// "Company", "Location", "Pump", "Test", "Flow". A family is every file named
// "NRVA2002<word>.<anything>", letter case ignored.
const QStringList& tableFileWords();

// True when fileName (a bare name) belongs to the family of word.
bool isTableFile(const QString& fileName, const QString& word);

// The last component of an archive entry name, whichever separator or drive prefix it
// carries ("../x", "C:\x", "sub/x" all give "x"); empty for a folder entry.
QString bareFileName(const QString& entryName);

} // namespace nerova
