#pragma once

#include <QValidator>

namespace nerova {

// Turns every letter typed into an entry into a capital as it is typed.
class UpperCaseValidator : public QValidator {
    Q_OBJECT

public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override;
};

} // namespace nerova
