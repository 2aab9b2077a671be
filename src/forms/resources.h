#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "forms/picture.h"

namespace vb::forms {

// Pictures held as program resources, found by name (letters in any case) and kind.
class ResourceTable {
  public:
    // Adds the picture under its Name and Kind, replacing one already there.
    void Add(Picture picture);
    const Picture* Find(const std::string& name, PictureKind kind) const;

  private:
    std::vector<Picture> pictures_;
};

// The program's resources; they start out holding the program's own pictures (the hand
// cursor "CURSOR_HAND").
ResourceTable& ProgramResources();

// The kinds LoadResPicture takes, as the program's procedures pass them.
inline constexpr std::int32_t kResBitmap = 0;
inline constexpr std::int32_t kResIcon = 1;
inline constexpr std::int32_t kResCursor = 2;

// Loads a picture from the program's resources: kind kResBitmap, kResIcon or kResCursor. Each call
// gives a picture of its own. A kind that does not fit a 16-bit integer is refused with
// Overflow, another unknown kind with InvalidProcedureCall, a missing picture with
// ResourceNotFound.
std::shared_ptr<const Picture> LoadResPicture(const std::string& name, std::int32_t kind);

}  // namespace vb::forms
