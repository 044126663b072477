#include "eval/TestsDue.h"

#include "data/LatestTests.h"
#include "eval/EvaluationRows.h"
#include "eval/TestVerdict.h"

#include <QHash>
#include <algorithm>

namespace nerova {

namespace {

const QStringList kCompanyColumns = {QStringLiteral("Name"), QStringLiteral("Contact Name"),
                                     QStringLiteral("Contact Phone"),
                                     QStringLiteral("Contact Email")};
const QStringList kLocationColumns = {QStringLiteral("Name")};

QString nameOr(const QVariant& name, const QString& id) {
    const QString text = name.toString();
    return text.trimmed().isEmpty() ? id : text;
}

QDate isoDate(const QVariant& v) {
    return v.typeId() == QMetaType::QDate ? v.toDate()
                                          : QDate::fromString(v.toString(), Qt::ISODate);
}

QString plural(int n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace

DueSettings DueSettings::bounded() const {
    return {std::clamp(warningDays, 1, kMaxWarningDays),
            std::clamp(intervalMonths, 1, kMaxIntervalMonths)};
}

QList<DuePump> readPumpsDue(Database& db, const QDate& today) {
    const std::vector<QVariantList> rows = pumpsWithLatestTest(
        db, {kCompanyColumns, kLocationColumns, {QStringLiteral("Pump SN")}, {}}, today);
    // Where each part starts in a row.
    const qsizetype company = 3;
    const qsizetype location = company + kCompanyColumns.size();
    const qsizetype pump = location + kLocationColumns.size();
    const qsizetype ahead = pump + 1;
    QList<DuePump> out;
    out.reserve(static_cast<qsizetype>(rows.size()));
    for (const QVariantList& row : rows) {
        DuePump p;
        p.companyId = row[0].toString();
        p.locationId = row[1].toString();
        p.pumpId = row[2].toString();
        p.company = nameOr(row[company], p.companyId);
        p.contact = row[company + 1].toString();
        p.phone = row[company + 2].toString();
        p.email = row[company + 3].toString();
        p.location = nameOr(row[location], p.locationId);
        p.serial = row[pump].toString();
        p.testsAhead = row[ahead].toInt();
        p.lastTest = isoDate(row[ahead + 1]);
        if (p.lastTest.isValid())
            p.lastTestId = row[ahead + 2].toString();
        else
            p.verdict = QStringLiteral("Not tested");
        out.append(std::move(p));
    }
    return out;
}

void judgeVerdicts(Database& db, const QList<DuePump*>& pumps) {
    QList<QStringList> keys;
    QHash<QStringList, QList<DuePump*>> waiting;
    for (DuePump* p : pumps) {
        if (p->judged())
            continue;
        const QStringList key = {p->companyId, p->locationId, p->pumpId, p->lastTestId};
        if (!waiting.contains(key))
            keys << key;
        waiting[key] << p;
    }
    if (keys.isEmpty())
        return;
    const QStringList& ratingColumns = pumpRatingColumns();
    const qsizetype testAt = 4 + ratingColumns.size();
    for (const QVariantList& row : testsByKey(db, ratingColumns, testReadingColumns(), keys)) {
        const QStringList key = {row[0].toString(), row[1].toString(), row[2].toString(),
                                 row[3].toString()};
        const auto it = waiting.constFind(key);
        if (it == waiting.constEnd())
            continue;
        const QString verdict =
            testVerdict(row.mid(4, ratingColumns.size()), row.mid(testAt)).verdictText;
        for (DuePump* p : *it)
            p->verdict = verdict;
    }
    // A test gone since the pumps were read (deleted meanwhile) has no verdict to give.
    for (DuePump* p : pumps)
        if (!p->judged())
            p->verdict = QStringLiteral("Not tested");
}

void judgeVerdicts(Database& db, QList<DuePump>& pumps) {
    QList<DuePump*> all;
    all.reserve(pumps.size());
    for (DuePump& p : pumps)
        all << &p;
    judgeVerdicts(db, all);
}

void scheduleDue(QList<DuePump>& pumps, const DueSettings& settings, const QDate& today) {
    const DueSettings s = settings.bounded();
    for (DuePump& p : pumps) {
        if (!p.lastTest.isValid()) {
            p.due = today;
            p.daysUntilDue = 0;
            p.status = DueStatus::NeverTested;
            continue;
        }
        p.due = p.lastTest.addMonths(s.intervalMonths);
        p.daysUntilDue = static_cast<int>(today.daysTo(p.due));
        p.status = p.daysUntilDue < 0                ? DueStatus::Overdue
                   : p.daysUntilDue <= s.warningDays ? DueStatus::DueSoon
                                                     : DueStatus::Later;
    }
}

QString dueStatusText(DueStatus status, int warningDays) {
    switch (status) {
    case DueStatus::Overdue:
        return QStringLiteral("Overdue");
    case DueStatus::DueSoon:
        return QStringLiteral("Due within ") + plural(warningDays, "day", "days");
    case DueStatus::Later:
        return QStringLiteral("Later");
    case DueStatus::NeverTested:
        break;
    }
    return QStringLiteral("Never tested");
}

bool dueMatches(const DuePump& pump, const QString& text) {
    if (text.isEmpty())
        return true;
    for (const QString* field : {&pump.company, &pump.companyId, &pump.location, &pump.locationId,
                                 &pump.pumpId, &pump.serial})
        if (field->contains(text, Qt::CaseInsensitive))
            return true;
    return false;
}

QString dueStatusLine(const QList<DuePump>& pumps, int warningDays, const QString& shortcut) {
    int overdue = 0;
    int soon = 0;
    int never = 0;
    for (const DuePump& p : pumps) {
        overdue += p.status == DueStatus::Overdue;
        soon += p.status == DueStatus::DueSoon;
        never += p.status == DueStatus::NeverTested;
    }
    if (overdue == 0 && soon == 0)
        return {};
    QString line = plural(overdue, "pump", "pumps") +
                   QStringLiteral(" overdue, %1 due within ").arg(soon) +
                   plural(warningDays, "day", "days");
    if (never > 0)
        line += QStringLiteral(", %1 never tested").arg(never);
    return line + QStringLiteral(" \u2014 Tests Due\u2026 (%1)").arg(shortcut);
}

QString duePumpTitle(const DuePump& pump) {
    QStringList parts{pump.company};
    if (pump.location.trimmed() != QLatin1String("*"))
        parts << pump.location;
    parts << QStringLiteral("Pump ") + pump.pumpId;
    return parts.join(QStringLiteral(", "));
}

} // namespace nerova
