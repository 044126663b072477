#include "controls/PictureValidator.h"

namespace nerova {

QValidator::State PictureValidator::validate(QString& input, int& /*pos*/) const {
    return m_picture.validate(input);
}

} // namespace nerova
