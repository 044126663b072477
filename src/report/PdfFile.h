#pragma once

#include <QDate>
#include <QString>

namespace nerova {

class Prompt;

// A name with every character a file name cannot hold (/ \ : * ? " < > |, DEL and control
// characters) replaced by "_": what the program proposes when it offers to save a file.
QString safeFileName(QString name);

// Saving a printout as a PDF file: the name proposed for it and the folder it goes to.
class PdfFile {
public:
    // "ABC Paint Company - Pump 01 - 2001-07-31 - Detail Report.pdf": the parts that are
    // not blank, joined, with every character a file name cannot hold (/ \ : * ? " < > |
    // and control characters) replaced by "_".
    static QString proposedName(const QString& company, const QString& pumpId,
                                const QDate& testDate, const QString& printout);

    // Asks through the seam where to save, proposing `name` in the folder last saved
    // into; adds ".pdf" when the user typed no suffix. Empty when cancelled.
    static QString ask(Prompt& prompt, const QString& name);
    // Remembers the folder of a file just written, for the next ask().
    static void saved(const QString& path);

    // The folder last saved into, or the documents folder (else the home folder) when there
    // is none (any more).
    static QString lastFolder();
};

} // namespace nerova
