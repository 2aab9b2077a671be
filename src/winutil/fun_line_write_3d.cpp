#include "winutil/fun_line_write_3d.h"

#include <cmath>
#include <cstring>

#include "forms/colors.h"
#include "forms/errors.h"
#include "forms/form.h"
#include "forms/line.h"
#include "forms/screen.h"
#include "forms/shape.h"

namespace vb::winutil {

namespace {

bool IsLine(const forms::Control& c) { return std::strcmp(c.TypeName(), "Line") == 0; }

// The property groups the procedures use; a control without them refuses as the platform
// does, with PropertyNotSupported.
forms::Bordered& BorderOf(forms::Control& c) {
    if (auto* b = dynamic_cast<forms::Bordered*>(&c)) return *b;
    throw forms::PropertyNotSupported();
}

forms::Line& LineOf(forms::Control& c) {
    if (auto* l = dynamic_cast<forms::Line*>(&c)) return *l;
    throw forms::PropertyNotSupported();
}

forms::Shape& ShapeOf(forms::Control& c) {
    if (auto* s = dynamic_cast<forms::Shape*>(&c)) return *s;
    throw forms::PropertyNotSupported();
}

forms::Form& ParentOf(const forms::Control& c) {
    if (!c.Parent()) throw forms::ObjectRequired();
    return *c.Parent();
}

// The form whose scale mode is that of the control's container, or nullptr when the
// container has none: only forms keep a coordinate system here, so a control inside another
// control (or one on no form) has no scale mode to set.
forms::Form* ScaledContainerOf(const forms::Control& c) {
    return c.Container() ? nullptr : c.Parent();
}

void PlaceLineTwin(forms::Line& twin, forms::Line& element, std::int32_t mode) {
    const forms::Screen& screen = forms::GetScreen();
    if (mode == 0 || mode == 2) {
        twin.SetY1(element.Y1());
        twin.SetY2(element.Y2());
        twin.SetX1(element.X1() + screen.TwipsPerPixelX());
        twin.SetX2(element.X2() + screen.TwipsPerPixelX());
    }
    if (mode == 1 || mode == 2) {
        twin.SetX1(element.X1());
        twin.SetX2(element.X2());
        twin.SetY1(element.Y1() + screen.TwipsPerPixelY());
        twin.SetY2(element.Y2() + screen.TwipsPerPixelY());
    }
    twin.SetBorderStyle(element.BorderStyle());
}

// Shapes keep whole twips; a fractional twips-per-pixel is rounded half to even.
int AddPixel(int twips, float twipsPerPixel) {
    return static_cast<int>(std::nearbyint(static_cast<float>(twips) + twipsPerPixel));
}

void PlaceShapeTwin(forms::Control& twin, forms::Control& element, std::int32_t mode) {
    const forms::Screen& screen = forms::GetScreen();
    if (mode == 0 || mode == 2) {
        twin.SetHeight(element.Height());
        twin.SetTop(AddPixel(element.Top(), screen.TwipsPerPixelY()));
    }
    if (mode == 1 || mode == 2) {
        twin.SetWidth(element.Width());
        twin.SetLeft(AddPixel(element.Left(), screen.TwipsPerPixelX()));
    }
    ShapeOf(twin).SetKind(ShapeOf(element).Kind());
    // The shadow-coloured element covers the twin except for its one-pixel edge.
    twin.ZOrder(1);
    element.ZOrder(0);
}

}  // namespace

void SetMenuLine(forms::ControlFamily& family, platform::EventPump& events) {
    forms::Control& first = family.Item(0);
    // A container without a scale mode is left alone.
    forms::Form* const scaled = ScaledContainerOf(first);
    const int savedScaleMode = scaled ? scaled->ScaleMode() : 0;
    if (scaled) scaled->SetScaleMode(forms::kScaleTwips);

    forms::Line& line = LineOf(first);
    line.SetX1(0);
    line.SetY1(0);
    line.SetY2(0);
    MakeLine3D(family, 1, events, 0, true, std::nullopt);

    if (scaled) scaled->SetScaleMode(savedScaleMode);
}

void MakeLine3D(forms::ControlFamily& family, std::int32_t mode, platform::EventPump& events,
                std::optional<int> index, bool fit, std::optional<forms::Control*> container) {
    forms::Control& element = family.Item(index ? *index : family.LBound());

    if (IsLine(element) && (mode == 1 || mode == 2) && fit) {
        forms::Line& line = LineOf(element);
        line.SetX2(static_cast<float>(ParentOf(element).Width()));
        line.SetX1(0);
    }
    BorderOf(element).SetBorderColor(forms::kButtonShadow);

    family.Load(family.UBound() + 1);
    forms::Control* twinContainer = container ? *container : element.Container();

    forms::Control& twin = family.Item(family.UBound());
    twin.SetContainer(twinContainer);
    twin.SetVisible(true);
    BorderOf(twin).SetBorderColor(forms::kButtonHighlight);

    if (IsLine(twin))
        PlaceLineTwin(LineOf(twin), LineOf(element), mode);
    else
        PlaceShapeTwin(twin, element, mode);
    events.ProcessEvents();
}

}  // namespace vb::winutil
