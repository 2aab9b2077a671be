#include "forms/line.h"

#include "forms/errors.h"

namespace vb::forms {

void Line::SetX1(float v) {
    x1_ = v;
    Notify(Change::Geometry);
}
void Line::SetY1(float v) {
    y1_ = v;
    Notify(Change::Geometry);
}
void Line::SetX2(float v) {
    x2_ = v;
    Notify(Change::Geometry);
}
void Line::SetY2(float v) {
    y2_ = v;
    Notify(Change::Geometry);
}

void Line::SetLeft(int) { throw PropertyNotSupported(); }
void Line::SetTop(int) { throw PropertyNotSupported(); }
void Line::SetWidth(int) { throw PropertyNotSupported(); }
void Line::SetHeight(int) { throw PropertyNotSupported(); }

std::unique_ptr<Control> Line::LoadCopy(int index) const {
    auto copy = std::make_unique<Line>(Name(), index);
    copy->CopyCommonFrom(*this);
    copy->CopyBorderFrom(*this);
    copy->x1_ = x1_;
    copy->y1_ = y1_;
    copy->x2_ = x2_;
    copy->y2_ = y2_;
    copy->SetVisible(false);
    return copy;
}

}  // namespace vb::forms
