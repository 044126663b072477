#pragma once

#include <QString>
#include <QValidator>
#include <optional>

namespace nerova {

// The picture of a numeric entry: 9 a digit; # a digit, blank or sign; "." the decimal
// point; "," a thousands separator shown in the display. "###.#" takes up to three
// integer positions (one of which may hold a minus sign) and one decimal.
//
// Every position after the point is shown, as the printed reports show it: 1.75 is "1.750"
// under "#.###" as under "#.999", so a nozzle size reads the same on screen and on paper.
//
// A separator typed is never dropped silently (67,5 must not become 675): where the picture
// has decimals and no thousands separator a comma is the decimal point; where the picture
// groups thousands a comma must stand between groups of three digits. A comma or point the
// picture cannot take stays as typed, and the text stands for no number until it is put
// right.
class NumberPicture {
public:
    NumberPicture() = default;
    explicit NumberPicture(const QString& picture);

    const QString& picture() const { return m_picture; }
    int integerPositions() const { return m_integer; }
    int decimals() const { return m_decimals; }
    // Decimals always shown: every position after the point.
    int shownDecimals() const { return m_shownDecimals; }
    bool signAllowed() const { return m_sign; }
    bool grouped() const { return m_grouped; }

    // A lower bound of 0 refuses the minus sign.
    void setNonNegative(bool on) { m_nonNegative = on; }
    bool nonNegative() const { return m_nonNegative; }

    // The text as the field takes it: a comma typed for the decimal point becomes a point.
    QString typed(const QString& text) const;
    // Whether text may stand in the field while it is typed: Intermediate for a lone sign
    // or point, for thousands separators not (yet) between groups of three digits and for a
    // separator the picture cannot take. Surrounding blanks are ignored.
    QValidator::State validate(const QString& text) const;
    // The value of typed text; nullopt for a blank, a lone sign or point, or separators out
    // of place.
    std::optional<double> parse(const QString& text) const;
    // True for a text that holds no digit yet: blank, or a lone sign or point.
    bool holdsNoDigit(const QString& text) const;
    // The text of a value: the decimals the picture always shows and as many more as
    // needed up to the picture's, thousands separators when grouped is asked for and the
    // picture has them.
    QString format(double value, bool grouped) const;
    // A value rounded to the picture's decimals, as it is stored.
    double round(double value) const;

private:
    QString m_picture;
    int m_integer = 15;
    int m_decimals = 0;
    int m_shownDecimals = 0;
    bool m_sign = true;
    bool m_grouped = false;
    bool m_nonNegative = false;
};

} // namespace nerova
