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

    // Whether text may stand in the field while it is typed (Intermediate: a lone sign or
    // point); thousands separators and surrounding blanks are ignored.
    QValidator::State validate(const QString& text) const;
    // The value of typed text; nullopt for a blank (or a lone sign or point).
    std::optional<double> parse(const QString& text) const;
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
