#include "builder/page_names.h"

#include <algorithm>
#include <string_view>

#include "codec/utf8.h"

namespace vb::builder {

std::string DrawPageName(platform::FileSystemObject& fso) {
    const std::string base = platform::FileSystemObject::GetBaseName(fso.GetTempName());
    const std::string_view digits =
        std::string_view(base).substr(std::min<std::size_t>(3, base.size()));
    std::string name = "vor";
    name += codec::utf8::AsciiLower(digits);
    name += ".html";
    return name;
}

}  // namespace vb::builder
