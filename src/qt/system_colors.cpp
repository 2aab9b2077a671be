#include "qt/system_colors.h"

namespace vb::qtview {

namespace {

struct SystemColor {
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// System-colour indexes of the platform and the palette roles that play their part.
constexpr SystemColor kSystemColors[] = {
    {0, QPalette::Active, QPalette::Button},              // scroll bar
    {1, QPalette::Active, QPalette::Dark},                // desktop
    {2, QPalette::Active, QPalette::Highlight},           // active caption
    {3, QPalette::Inactive, QPalette::Highlight},         // inactive caption
    {4, QPalette::Active, QPalette::Window},              // menu
    {5, QPalette::Active, QPalette::Base},                // window background
    {6, QPalette::Active, QPalette::Shadow},              // window frame
    {7, QPalette::Active, QPalette::WindowText},          // menu text
    {8, QPalette::Active, QPalette::Text},                // window text
    {9, QPalette::Active, QPalette::HighlightedText},     // caption text
    {10, QPalette::Active, QPalette::Button},             // active border
    {11, QPalette::Inactive, QPalette::Button},           // inactive border
    {12, QPalette::Active, QPalette::Mid},                // application workspace
    {13, QPalette::Active, QPalette::Highlight},          // highlight
    {14, QPalette::Active, QPalette::HighlightedText},    // highlighted text
    {15, QPalette::Active, QPalette::Button},             // button face
    {16, QPalette::Active, QPalette::Dark},               // button shadow
    {17, QPalette::Disabled, QPalette::Text},             // grey text
    {18, QPalette::Active, QPalette::ButtonText},         // button text
    {19, QPalette::Inactive, QPalette::HighlightedText},  // inactive caption text
    {20, QPalette::Active, QPalette::Light},              // 3D highlight
    {21, QPalette::Active, QPalette::Shadow},             // 3D dark shadow
    {22, QPalette::Active, QPalette::Midlight},           // 3D light
    {23, QPalette::Active, QPalette::ToolTipText},        // tool tip text
    {24, QPalette::Active, QPalette::ToolTipBase},        // tool tip background
    {26, QPalette::Active, QPalette::Link},               // hot-tracked item
    {29, QPalette::Active, QPalette::Highlight},          // menu highlight
    {30, QPalette::Active, QPalette::Window},             // menu bar
};

}  // namespace

QColor ResolveColor(forms::Color color, const QPalette& palette) {
    if (forms::IsSystemColor(color)) {
        const int index = forms::SystemColorIndex(color);
        for (const SystemColor& s : kSystemColors)
            if (s.index == index) return palette.color(s.group, s.role);
        return QColor(Qt::black);
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace vb::qtview
