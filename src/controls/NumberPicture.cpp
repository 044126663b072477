#include "controls/NumberPicture.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace nerova {

namespace {

QString stripped(const QString& text) {
    QString s = text.trimmed();
    s.remove(QLatin1Char(','));
    return s;
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

QValidator::State NumberPicture::validate(const QString& text) const {
    static const QRegularExpression shape(QStringLiteral("^([-+]?)(\\d*)(?:(\\.)(\\d*))?$"));
    const QString s = stripped(text);
    if (s.isEmpty())
        return QValidator::Acceptable;
    const auto m = shape.match(s);
    if (!m.hasMatch())
        return QValidator::Invalid;
    const bool sign = !m.captured(1).isEmpty();
    const bool negative = m.captured(1) == QLatin1String("-");
    if (sign && (!m_sign || (negative && m_nonNegative)))
        return QValidator::Invalid;
    // The sign takes one of the integer positions, as it does in the printed picture.
    if (m.captured(2).size() + (sign ? 1 : 0) > m_integer)
        return QValidator::Invalid;
    if (!m.captured(3).isEmpty() && m_decimals == 0)
        return QValidator::Invalid;
    if (m.captured(4).size() > m_decimals)
        return QValidator::Invalid;
    if (m.captured(2).isEmpty() && m.captured(4).isEmpty())
        return QValidator::Intermediate; // "-", "." or "-."
    return QValidator::Acceptable;
}

std::optional<double> NumberPicture::parse(const QString& text) const {
    if (validate(text) != QValidator::Acceptable)
        return std::nullopt;
    const QString s = stripped(text);
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
