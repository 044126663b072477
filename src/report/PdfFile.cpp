#include "report/PdfFile.h"

#include "prompt/Prompt.h"
#include "report/ProgramSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace nerova {

namespace {

const char* const kFolderKey = "Print/PdfFolder";

} // namespace

QString safeFileName(QString name) {
    for (QChar& c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    }
    return name;
}

QString PdfFile::proposedName(const QString& company, const QString& pumpId, const QDate& testDate,
                              const QString& printout) {
    QStringList parts;
    if (!company.trimmed().isEmpty())
        parts << company.trimmed();
    if (!pumpId.trimmed().isEmpty())
        parts << QStringLiteral("Pump ") + pumpId.trimmed();
    if (testDate.isValid())
        parts << testDate.toString(Qt::ISODate);
    parts << printout;
    return safeFileName(parts.join(QStringLiteral(" - "))) + QStringLiteral(".pdf");
}

QString PdfFile::lastFolder() {
    return ProgramSettings::folder(QLatin1String(kFolderKey));
}

QString PdfFile::ask(Prompt& prompt, const QString& name) {
    QString path = prompt.saveFile(QStringLiteral("Save as PDF"), QDir(lastFolder()).filePath(name),
                                   QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    return path;
}

void PdfFile::saved(const QString& path) {
    ProgramSettings::setFolder(QLatin1String(kFolderKey), QFileInfo(path).absolutePath());
}

} // namespace nerova
