#include "winutil/fun_form_position.h"

#include <cmath>

#include "forms/screen.h"
#include "winutil/fun_system_metrics.h"

namespace vb::winutil {

namespace {

// The form keeps whole twips; a fractional result is rounded half to even.
int ToTwips(float value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

void SetFormPosition(forms::Form& form, std::int32_t code) {
    const forms::Screen& screen = forms::GetScreen();
    const float screenWidth = screen.Width();
    const float screenHeight = screen.Height();
    const float width = static_cast<float>(form.Width());
    const float height = static_cast<float>(form.Height());

    float top = 0;
    float left = 0;
    switch (code) {
        case kPositionCenter:
            top = (screenHeight - height) / 2.0f;
            left = (screenWidth - width) / 2.0f;
            break;
        case kPositionBottomRight:
            top = screenHeight - (height + static_cast<float>(GetTaskBarHeight()));
            left = screenWidth - width;
            break;
        case kPositionTopRight:
            top = 0;
            left = screenWidth - width;
            break;
        case kPositionBottomLeft:
            top = screenHeight - (height + static_cast<float>(GetTaskBarHeight()));
            left = 0;
            break;
        case kPositionTopLeft:
            top = 0;
            left = 0;
            break;
        default:
            return;
    }
    form.SetTop(ToTwips(top));
    form.SetLeft(ToTwips(left));
}

}  // namespace vb::winutil
