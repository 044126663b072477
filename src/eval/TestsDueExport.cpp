#include "eval/TestsDueExport.h"

#include "data/EngineError.h"
#include "eval/HistoryCsv.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSaveFile>
#include <QStringList>

namespace nerova {

namespace {

constexpr int kReminderDays = 14;
// A content line may hold 75 octets; longer ones continue on lines that start with a blank.
constexpr qsizetype kLineOctets = 75;

QString isoDate(const QDate& d) {
    return d.isValid() ? d.toString(Qt::ISODate) : QString();
}

QString csvLine(const QStringList& fields) {
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString& f : fields)
        quoted << csvField(f);
    return quoted.join(u',') + QStringLiteral("\r\n");
}

// A TEXT value: backslash, semicolon, comma and line breaks escaped; other control
// characters, which the format does not allow, dropped.
QString icsText(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' || c == u';' || c == u',') {
            out += u'\\';
            out += c;
        } else if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out += QStringLiteral("\\n");
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c.unicode() >= 0x20 && c.unicode() != 0x7F) {
            out += c;
        } else if (c == u'\t') {
            out += c;
        }
    }
    return out;
}

// Folds a content line at 75 octets, never inside a UTF-8 sequence.
QByteArray folded(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    QByteArray out;
    qsizetype start = 0;
    qsizetype room = kLineOctets;
    while (bytes.size() - start > room) {
        qsizetype end = start + room;
        while (end > start && (static_cast<unsigned char>(bytes.at(end)) & 0xC0) == 0x80)
            --end;
        out += bytes.mid(start, end - start);
        out += "\r\n ";
        start = end;
        room = kLineOctets - 1; // the leading blank counts
    }
    out += bytes.mid(start);
    out += "\r\n";
    return out;
}

QString icsDate(const QDate& d) {
    return d.toString(QStringLiteral("yyyyMMdd"));
}

QString description(const DuePump& p) {
    QStringList lines;
    if (!p.contact.trimmed().isEmpty())
        lines << QStringLiteral("Contact: ") + p.contact.trimmed();
    if (!p.phone.trimmed().isEmpty())
        lines << QStringLiteral("Phone: ") + p.phone.trimmed();
    if (!p.email.trimmed().isEmpty())
        lines << QStringLiteral("E-mail: ") + p.email.trimmed();
    if (!p.serial.trimmed().isEmpty())
        lines << QStringLiteral("Serial number: ") + p.serial.trimmed();
    lines << (p.lastTest.isValid()
                  ? QStringLiteral("Last test: %1 (%2)").arg(isoDate(p.lastTest), p.verdict)
                  : QStringLiteral("Never tested"));
    return lines.join(u'\n');
}

} // namespace

QByteArray testsDueCsv(const QList<DuePump>& pumps, int warningDays) {
    QString text =
        csvLine({QStringLiteral("Company"), QStringLiteral("Location"), QStringLiteral("Pump"),
                 QStringLiteral("Serial Number"), QStringLiteral("Last Test"),
                 QStringLiteral("Last Verdict"), QStringLiteral("Next Due"),
                 QStringLiteral("Days Until Due"), QStringLiteral("Status"),
                 QStringLiteral("Contact"), QStringLiteral("Phone"), QStringLiteral("E-mail")});
    for (const DuePump& p : pumps)
        text += csvLine({p.company, p.location, p.pumpId, p.serial, isoDate(p.lastTest), p.verdict,
                         isoDate(p.due), QString::number(p.daysUntilDue),
                         dueStatusText(p.status, warningDays), p.contact, p.phone, p.email});
    return text.toUtf8();
}

QString calendarUid(const DuePump& p) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    // A separator no identifier holds, so "A"+"BC" and "AB"+"C" differ.
    for (const QString* key : {&p.companyId, &p.locationId, &p.pumpId}) {
        hash.addData(key->toUtf8());
        hash.addData(QByteArrayView("\x1f", 1));
    }
    const QString when =
        p.status == DueStatus::NeverTested ? QStringLiteral("never") : icsDate(p.due);
    return QStringLiteral("%1-%2@nerova2002").arg(QString::fromLatin1(hash.result().toHex()), when);
}

QByteArray testsDueCalendar(const QList<DuePump>& pumps, const QDateTime& stamp) {
    const QString dtstamp = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QByteArray out;
    auto line = [&out](const QString& text) { out += folded(text); };
    line(QStringLiteral("BEGIN:VCALENDAR"));
    line(QStringLiteral("VERSION:2.0"));
    line(QStringLiteral("PRODID:-//Nerova 2002//Tests Due//EN"));
    line(QStringLiteral("CALSCALE:GREGORIAN"));
    for (const DuePump& p : pumps) {
        if (!p.due.isValid())
            continue;
        const QString summary = QStringLiteral("Fire pump test due: ") + duePumpTitle(p);
        line(QStringLiteral("BEGIN:VEVENT"));
        line(QStringLiteral("UID:") + calendarUid(p));
        line(QStringLiteral("DTSTAMP:") + dtstamp);
        line(QStringLiteral("DTSTART;VALUE=DATE:") + icsDate(p.due));
        line(QStringLiteral("DTEND;VALUE=DATE:") + icsDate(p.due.addDays(1)));
        line(QStringLiteral("SUMMARY:") + icsText(summary));
        line(QStringLiteral("DESCRIPTION:") + icsText(description(p)));
        // A reminder, not an appointment: the day stays free in the calendar.
        line(QStringLiteral("TRANSP:TRANSPARENT"));
        line(QStringLiteral("BEGIN:VALARM"));
        line(QStringLiteral("ACTION:DISPLAY"));
        line(QStringLiteral("DESCRIPTION:") + icsText(summary));
        line(QStringLiteral("TRIGGER:-P%1D").arg(kReminderDays));
        line(QStringLiteral("END:VALARM"));
        line(QStringLiteral("END:VEVENT"));
    }
    line(QStringLiteral("END:VCALENDAR"));
    return out;
}

void writeExportFile(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw EngineError(QStringLiteral("Cannot write the file %1.\n%2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()),
                          EngineError::Code::Io);
}

} // namespace nerova
