#include "winutil/fun_system_metrics.h"

#include <cmath>

#include "forms/screen.h"

namespace vb::winutil {

std::int32_t GetTaskBarHeight() {
    const forms::Screen& screen = forms::GetScreen();
    const forms::PixelRect workArea = screen.WorkArea();
    // Twips per pixel times a whole number of pixels is worked out in double precision, as
    // the platform's arithmetic widens it; the conversion to a whole number rounds half to
    // even (the default rounding mode).
    const double below = static_cast<double>(screen.Height()) -
                         static_cast<double>(screen.TwipsPerPixelY()) * workArea.bottom;
    return static_cast<std::int32_t>(std::nearbyint(below));
}

}  // namespace vb::winutil
