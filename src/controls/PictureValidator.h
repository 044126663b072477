#pragma once

#include "controls/NumberPicture.h"

#include <QValidator>

namespace nerova {

// Lets into a numeric entry only what its picture allows. The picture is read at every
// keystroke, not copied, so a bound changed later (no negatives) takes effect at once; the
// entry owning the picture owns the validator too.
class PictureValidator : public QValidator {
public:
    PictureValidator(const NumberPicture& picture, QObject* parent)
        : QValidator(parent), m_picture(picture) {}
    State validate(QString& input, int& pos) const override;

private:
    const NumberPicture& m_picture;
};

} // namespace nerova
