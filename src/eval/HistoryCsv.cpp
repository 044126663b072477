#include "eval/HistoryCsv.h"

#include "data/EngineError.h"

#include <QDir>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>

namespace nerova {

namespace {

QString share(const std::optional<double>& v) {
    return v ? QString::number(*v, 'f', 1) : QString();
}

QString change(const std::optional<double>& v) {
    if (!v)
        return {};
    QString s = QString::number(*v, 'f', 1);
    if (s == QStringLiteral("-0.0"))
        s = QStringLiteral("0.0");
    return *v > 0 && s != QStringLiteral("0.0") ? QStringLiteral("+") + s : s;
}

QString line(const QStringList& fields) {
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString& f : fields)
        quoted << csvField(f);
    return quoted.join(u',') + QStringLiteral("\r\n");
}

} // namespace

QString csvField(const QString& text) {
    static const QString special = QStringLiteral(",\"\r\n");
    const bool quote =
        std::any_of(text.begin(), text.end(), [](QChar c) { return special.contains(c); });
    if (!quote)
        return text;
    QString escaped = text;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QByteArray historyCsv(const QList<HistoryRow>& rows) {
    QString text =
        line({QStringLiteral("Test Date"), QStringLiteral("TestID"),
              QStringLiteral("% of Baseline at 100% Flow"),
              QStringLiteral("% of Baseline at 150% Flow"), QStringLiteral("Lowest % of Baseline"),
              QStringLiteral("Verdict"), QStringLiteral("Change Since Previous Test")});
    for (const HistoryRow& r : rows)
        text += line({r.testDate.isValid() ? r.testDate.toString(Qt::ISODate) : QString(), r.testId,
                      share(r.atRatedFlow), share(r.atPeakFlow), share(r.lowest),
                      verdictText(r.verdict), change(r.change)});
    return text.toUtf8();
}

void writeHistoryCsv(const QString& path, const QList<HistoryRow>& rows) {
    QSaveFile file(path);
    const QByteArray data = historyCsv(rows);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw EngineError(QStringLiteral("Cannot write the file %1.\n%2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()),
                          EngineError::Code::Io);
}

} // namespace nerova
