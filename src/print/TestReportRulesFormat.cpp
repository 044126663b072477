#include "print/TestReportRulesFormat.h"

#include "data/Table.h"

#include <QLocale>
#include <cmath>

namespace nerova {

namespace {

// Groups the digits of a whole-number text in threes: "1234567" → "1,234,567".
QString grouped(const QString& digits) {
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits.at(i);
    }
    return out;
}

// Fixed decimals with thousands separators and a leading minus.
QString fixed(double value, int decimals) {
    QString text = QString::number(std::abs(value), 'f', decimals);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : text.mid(point);
    text = grouped(whole) + fraction;
    // A value that rounds to zero carries no sign.
    const bool zero = text.count(QLatin1Char('0')) + text.count(QLatin1Char('.')) +
                          text.count(QLatin1Char(',')) ==
                      text.size();
    return value < 0 && !zero ? QLatin1Char('-') + text : text;
}

// "##.##": up to `decimals` digits after the point, none forced on either side.
QString optionalDigits(double value, int decimals) {
    QString text = QString::number(std::abs(value), 'f', decimals);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text.startsWith(QLatin1String("0")))
        text.remove(0, 1); // "0.5" → ".5"; "0" → ""
    return value < 0 && !text.isEmpty() ? QLatin1Char('-') + text : text;
}

} // namespace

QString TestReportRulesFormat::number(double value, const char* mask) {
    if (!mask)
        return plainNumber(value);
    const QLatin1String m(mask);
    if (m == QLatin1String("#,0") || m == QLatin1String("#,0;-#,0"))
        return fixed(value, 0);
    if (m == QLatin1String("#,0.0") || m == QLatin1String("#,0.0;-#,0.0"))
        return fixed(value, 1);
    if (m == QLatin1String("#,0.00;-#,0.00"))
        return fixed(value, 2);
    if (m == QLatin1String("#,0.000"))
        return fixed(value, 3);
    if (m == QLatin1String("##.##"))
        return optionalDigits(value, 2);
    if (m == QLatin1String("##.###"))
        return optionalDigits(value, 3);
    return plainNumber(value);
}

QString TestReportRulesFormat::plainNumber(double value) {
    if (value == 0.0)
        return QStringLiteral("0"); // never "-0"
    return QString::number(value, 'g', 15);
}

QString TestReportRulesFormat::dateFormat(const QLocale& locale) {
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    // A short form with month or day names (the C locale's is "d MMM yyyy") is no numeric
    // form; month/day/year stands in, the form these reports have always been read in.
    if (locale.language() == QLocale::C || format.contains(QLatin1String("MMM")) ||
        format.contains(QLatin1String("ddd")))
        return QStringLiteral("M/d/yyyy");
    // Every year in full: a two-digit year on a test record is ambiguous a century on.
    // Quoted literal text is copied as it stands.
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('y')) {
            out += c;
            continue;
        }
        while (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('y'))
            ++i;
        out += QLatin1String("yyyy");
    }
    return out;
}

QString TestReportRulesFormat::date(const QDate& date) {
    const QLocale locale = QLocale::system();
    return date.isValid() ? locale.toString(date, dateFormat(locale)) : QString();
}

QString TestReportRulesFormat::time(const QTime& time) {
    if (!time.isValid())
        return {};
    // The long form with seconds, but without the time-zone name some locales add:
    // a test time is a wall-clock reading.
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QLocale::system().toString(time, format.trimmed());
}

QString TestReportRulesFormat::field(const Table& table, const QString& column,
                                     FieldFormat format) {
    const QVariant value = table.value(column);
    if (value.isNull() || !value.isValid())
        return {};
    const ColumnDef* def = table.def().find(column);
    switch (def ? def->type : ColumnType::Alpha) {
    case ColumnType::Number: {
        const double number = value.toDouble();
        if (format.blankZero && number == 0.0)
            return {};
        return TestReportRulesFormat::number(number, format.mask);
    }
    case ColumnType::Date:
        return date(value.toDate());
    case ColumnType::Time:
        return time(value.toTime());
    case ColumnType::Logical:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case ColumnType::Alpha:
    case ColumnType::Memo:
        break;
    }
    return value.toString();
}

} // namespace nerova
