#include "forms/resources.h"

#include <algorithm>
#include <limits>

#include "forms/errors.h"
#include "forms/hand_cursor.h"

namespace vb::forms {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}

}  // namespace

void ResourceTable::Add(Picture picture) {
    auto same = [&](const Picture& p) {
        return p.kind == picture.kind && SameName(p.name, picture.name);
    };
    auto it = std::find_if(pictures_.begin(), pictures_.end(), same);
    if (it != pictures_.end())
        *it = std::move(picture);
    else
        pictures_.push_back(std::move(picture));
}

const Picture* ResourceTable::Find(const std::string& name, PictureKind kind) const {
    for (const Picture& p : pictures_)
        if (p.kind == kind && SameName(p.name, name)) return &p;
    return nullptr;
}

ResourceTable& ProgramResources() {
    static ResourceTable table = [] {
        ResourceTable t;
        t.Add(HandCursor());
        return t;
    }();
    return table;
}

std::shared_ptr<const Picture> LoadResPicture(const std::string& name, std::int32_t kind) {
    if (kind < std::numeric_limits<std::int16_t>::min() ||
        kind > std::numeric_limits<std::int16_t>::max())
        throw Overflow();
    if (kind < static_cast<int>(PictureKind::Bitmap) ||
        kind > static_cast<int>(PictureKind::Cursor))
        throw InvalidProcedureCall();
    const Picture* found = ProgramResources().Find(name, static_cast<PictureKind>(kind));
    if (!found) throw ResourceNotFound(name);
    return std::make_shared<const Picture>(*found);
}

}  // namespace vb::forms
