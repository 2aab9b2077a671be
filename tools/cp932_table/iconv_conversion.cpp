#include "iconv_conversion.h"

#include <cerrno>
#include <stdexcept>

namespace vb::tools {

IconvConversion::IconvConversion(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
}

IconvConversion::~IconvConversion() { iconv_close(cd_); }

int IconvConversion::ConvertWhole(std::string_view input, std::string& out) {
    out.clear();
    const char* in = input.data();
    std::size_t left = input.size();
    return ConvertStretch(in, left, out);
}

int IconvConversion::ConvertStretch(const char*& in, std::size_t& inLeft, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        const std::size_t used = out.size();
        const std::size_t room = inLeft * 4 + 16;
        out.resize(used + room);
        char* dst = out.data() + used;
        std::size_t dstLeft = room;
        char* src = const_cast<char*>(in);
        const std::size_t rc = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
        const int err = rc == static_cast<std::size_t>(-1) ? errno : 0;
        out.resize(used + (room - dstLeft));
        in = src;
        if (err != 0 && err != E2BIG) return err;
    }
    return 0;
}

}  // namespace vb::tools
