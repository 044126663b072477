#include "eval/HistoryCsv.h"

#include "data/EngineError.h"
#include "eval/EvaluationText.h"

#include <QDir>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace nerova {

namespace {

QString share(const std::optional<double>& v) {
    return v ? shareDigits(*v) : QString();
}

QString change(const std::optional<double>& v) {
    return v ? historyChangeText(*v) : QString();
}

QString line(const QStringList& fields) {
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString& f : fields)
        quoted << csvField(f);
    return quoted.join(u',') + QStringLiteral("\r\n");
}

} // namespace

QString historyChangeText(double change) {
    // Rounded first, so a change of -0.04 reads "0.0" and never "-0.0".
    const double rounded = std::round(change * 10.0) / 10.0;
    const QString s = QString::number(rounded == 0 ? 0.0 : rounded, 'f', 1);
    return rounded > 0 ? QStringLiteral("+") + s : s;
}

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

QByteArray historyCsv(const HistoryPump& pump, const QList<HistoryRow>& rows) {
    QString text = line(
        {QStringLiteral("CompanyID"), QStringLiteral("LocationID"), QStringLiteral("PumpID"),
         QStringLiteral("Test Date"), QStringLiteral("TestID"),
         QStringLiteral("% of Baseline at 100% Flow"), QStringLiteral("% of Baseline at 150% Flow"),
         QStringLiteral("Lowest % of Baseline"), QStringLiteral("Verdict"),
         QStringLiteral("Change Since Previous Test"), QStringLiteral("Test Record")});
    for (const HistoryRow& r : rows)
        text += line({pump.companyId, pump.locationId, pump.pumpId,
                      r.testDate.isValid() ? r.testDate.toString(Qt::ISODate) : QString(), r.testId,
                      share(r.atRatedFlow), share(r.atPeakFlow), share(r.lowest),
                      verdictText(r.verdict), change(r.change), r.testRecord});
    return text.toUtf8();
}

void writeHistoryCsv(const QString& path, const HistoryPump& pump, const QList<HistoryRow>& rows) {
    QSaveFile file(path);
    const QByteArray data = historyCsv(pump, rows);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw EngineError(QStringLiteral("Cannot write the file %1.\n%2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()),
                          EngineError::Code::Io);
}

} // namespace nerova
