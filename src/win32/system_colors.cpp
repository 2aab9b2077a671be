#include "win32/system_colors.h"

namespace vb::win32view {

COLORREF ResolveColor(forms::Color color) {
    if (forms::IsSystemColor(color)) return GetSysColor(forms::SystemColorIndex(color));
    return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

HBRUSH ColorBrush::For(forms::Color color) {
    if (forms::IsSystemColor(color)) {
        if (HBRUSH brush = GetSysColorBrush(forms::SystemColorIndex(color))) return brush;
    }
    const COLORREF wanted = ResolveColor(color);
    if (!own_ || ownColor_ != wanted) {
        own_.reset(CreateSolidBrush(wanted));
        ownColor_ = wanted;
    }
    return own_.get();
}

}  // namespace vb::win32view
