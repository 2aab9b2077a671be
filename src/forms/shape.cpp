#include "forms/shape.h"

#include "forms/errors.h"

namespace vb::forms {

void Shape::SetKind(int kind) {
    if (kind < kShapeRectangle || kind > kShapeRoundedSquare) throw InvalidPropertyValue();
    kind_ = kind;
    Notify(Change::Appearance);
}

std::unique_ptr<Control> Shape::LoadCopy(int index) const {
    auto copy = std::make_unique<Shape>(Name(), index);
    copy->CopyCommonFrom(*this);
    copy->CopyBorderFrom(*this);
    copy->kind_ = kind_;
    copy->SetVisible(false);
    return copy;
}

}  // namespace vb::forms
