#pragma once

#include "forms/colors.h"

namespace vb::forms {

// Line styles of lines and shape borders.
enum BorderStyles : int {
    kBorderTransparent = 0,
    kBorderSolid = 1,
    kBorderDash = 2,
    kBorderDot = 3,
    kBorderDashDot = 4,
    kBorderDashDotDot = 5,
    kBorderInsideSolid = 6,
};

// The border properties that lines and shapes share. A BorderStyle outside 0..6 or a
// BorderWidth below 1 is refused with InvalidPropertyValue.
class Bordered {
  public:
    virtual ~Bordered() = default;

    Color BorderColor() const { return borderColor_; }
    void SetBorderColor(Color c);
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);

  protected:
    // Called after a border property changed, so the control can tell its view.
    virtual void BorderChanged() = 0;
    void CopyBorderFrom(const Bordered& other) {
        borderColor_ = other.borderColor_;
        borderStyle_ = other.borderStyle_;
        borderWidth_ = other.borderWidth_;
    }

  private:
    Color borderColor_ = kWindowText;
    int borderStyle_ = kBorderSolid;
    int borderWidth_ = 1;
};

}  // namespace vb::forms
