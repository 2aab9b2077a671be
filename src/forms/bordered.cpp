#include "forms/bordered.h"

#include "forms/errors.h"

namespace vb::forms {

void Bordered::SetBorderColor(Color c) {
    borderColor_ = c;
    BorderChanged();
}

void Bordered::SetBorderStyle(int style) {
    if (style < kBorderTransparent || style > kBorderInsideSolid) throw InvalidPropertyValue();
    borderStyle_ = style;
    BorderChanged();
}

void Bordered::SetBorderWidth(int width) {
    if (width < 1) throw InvalidPropertyValue();
    borderWidth_ = width;
    BorderChanged();
}

}  // namespace vb::forms
