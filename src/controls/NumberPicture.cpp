#include "controls/NumberPicture.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace nerova {

namespace {

// Digits grouped by thousands: one to three, then groups of three, each after a comma.
bool wellGrouped(const QString& digits) {
    static const QRegularExpression groups(QStringLiteral("^\\d{1,3}(,\\d{3})*$"));
    return groups.match(digits).hasMatch();
}

} // namespace

NumberPicture::NumberPicture(const QString& picture) : m_picture(picture) {
    m_integer = 0;
    m_sign = false;
    bool fraction = false;
    for (const QChar c : picture) {
        if (c == QLatin1Char('.')) {
            fraction = true;
        } else if (c == QLatin1Char(',')) {
            m_grouped = true;
        } else if (c == QLatin1Char('9') || c == QLatin1Char('#')) {
            if (c == QLatin1Char('#'))
                m_sign = true;
            if (fraction)
                m_shownDecimals = ++m_decimals;
            else
                ++m_integer;
        }
    }
}

QString NumberPicture::typed(const QString& text) const {
    if (m_grouped || m_decimals == 0)
        return text;
    QString s = text;
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    return s;
}

QValidator::State NumberPicture::validate(const QString& text) const {
    static const QRegularExpression shape(QStringLiteral("^([-+]?)([\\d,]*)(?:(\\.)(\\d*))?$"));
    const QString s = typed(text).trimmed();
    if (s.isEmpty())
        return QValidator::Acceptable;
    const auto m = shape.match(s);
    if (!m.hasMatch())
        return QValidator::Invalid;
    const bool sign = !m.captured(1).isEmpty();
    const bool negative = m.captured(1) == QLatin1String("-");
    if (sign && (!m_sign || (negative && m_nonNegative)))
        return QValidator::Invalid;
    const QString integer = m.captured(2);
    const qsizetype commas = integer.count(QLatin1Char(','));
    // The sign takes one of the integer positions, as it does in the printed picture.
    if (integer.size() - commas + (sign ? 1 : 0) > m_integer)
        return QValidator::Invalid;
    if (m_decimals > 0 && m.captured(4).size() > m_decimals)
        return QValidator::Invalid;
    if (integer.size() == commas && m.captured(4).isEmpty())
        return QValidator::Intermediate; // "-", "." or "-."
    // A separator the picture cannot take stays as typed, and the text stands for no number:
    // dropped, it would turn 67,5 or 67.5 into 675. "1,5" may still become "1,500".
    const bool misplacedComma = commas > 0 && (!m_grouped || !wellGrouped(integer));
    const bool misplacedPoint = !m.captured(3).isEmpty() && m_decimals == 0;
    if (misplacedComma || misplacedPoint)
        return QValidator::Intermediate;
    return QValidator::Acceptable;
}

bool NumberPicture::holdsNoDigit(const QString& text) const {
    return std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); }) &&
           validate(text) != QValidator::Invalid;
}

std::optional<double> NumberPicture::parse(const QString& text) const {
    if (validate(text) != QValidator::Acceptable)
        return std::nullopt;
    QString s = typed(text).trimmed();
    s.remove(QLatin1Char(','));
    if (s.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return round(v);
}

double NumberPicture::round(double value) const {
    const double scale = std::pow(10.0, m_decimals);
    return std::round(value * scale) / scale;
}

QString NumberPicture::format(double value, bool grouped) const {
    QString s = QString::number(round(value), 'f', m_decimals);
    if (const qsizetype point = s.indexOf(QLatin1Char('.')); point >= 0) {
        while (s.size() - point - 1 > m_shownDecimals && s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    // A value that rounds to nothing carries no sign ("-0", "-0.00").
    const bool nothing = std::none_of(s.cbegin(), s.cend(), [](QChar c) {
        return c >= QLatin1Char('1') && c <= QLatin1Char('9');
    });
    if (nothing && s.startsWith(QLatin1Char('-')))
        s.remove(0, 1);
    if (grouped && m_grouped) {
        const int start = s.startsWith(QLatin1Char('-')) ? 1 : 0;
        int end = s.indexOf(QLatin1Char('.'));
        if (end < 0)
            end = s.size();
        for (int i = end - 3; i > start; i -= 3)
            s.insert(i, QLatin1Char(','));
    }
    return s;
}

} // namespace nerova
