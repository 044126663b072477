#include "settings/UpperCaseValidator.h"

namespace nerova {

QValidator::State UpperCaseValidator::validate(QString& input, int& /*pos*/) const {
    input = input.toUpper();
    return Acceptable;
}

} // namespace nerova
