#include "controls/PictureValidator.h"

namespace nerova {

QValidator::State PictureValidator::validate(QString& input, int& /*pos*/) const {
    // A comma typed for the decimal point shows as the point it stands for.
    input = m_picture.typed(input);
    return m_picture.validate(input);
}

} // namespace nerova
