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

// Loads a picture from the program's resources: kind 0 bitmap, 1 icon, 2 cursor. Each call
// gives a picture of its own. A kind that does not fit a 16-bit integer is refused with
// Overflow, another unknown kind with InvalidProcedureCall, a missing picture with
// ResourceNotFound.
std::shared_ptr<const Picture> LoadResPicture(const std::string& name, std::int32_t kind);

}  // namespace vb::forms
