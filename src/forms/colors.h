#pragma once

#include <cstdint>

// Colours are 32-bit values. With the high bit set, the low byte names a system colour
// that the view resolves from its palette when it draws, so the window follows the user's
// colour scheme. Otherwise the value is 0x00BBGGRR.
namespace vb::forms {

using Color = std::uint32_t;

inline constexpr Color kSystemColorFlag = 0x80000000u;
inline constexpr Color kWindowBackground = 0x80000005u;  // COLOR_WINDOW
inline constexpr Color kWindowText = 0x80000008u;        // COLOR_WINDOWTEXT
inline constexpr Color kButtonFace = 0x8000000Fu;        // COLOR_BTNFACE
inline constexpr Color kButtonShadow = 0x80000010u;      // COLOR_BTNSHADOW
inline constexpr Color kButtonHighlight = 0x80000014u;   // COLOR_BTNHIGHLIGHT
inline constexpr Color kBlue = 0x00FF0000u;              // plain blue in 0x00BBGGRR

inline constexpr bool IsSystemColor(Color c) { return (c & kSystemColorFlag) != 0; }
inline constexpr int SystemColorIndex(Color c) { return static_cast<int>(c & 0xFFu); }

}  // namespace vb::forms
