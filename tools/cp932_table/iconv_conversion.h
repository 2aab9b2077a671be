#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace vb::tools {

// One iconv conversion descriptor (from one encoding to another), reset before every
// conversion. Used where the C library's own answers are wanted: making the codec's cp932
// table and testing the codec against it. The program itself never converts with iconv.
class IconvConversion {
  public:
    // Throws std::runtime_error when this system cannot convert between the two.
    IconvConversion(const char* to, const char* from);
    ~IconvConversion();
    IconvConversion(const IconvConversion&) = delete;
    IconvConversion& operator=(const IconvConversion&) = delete;

    // Converts the whole input afresh: 0 with the result in out, or the errno of the stop
    // (EILSEQ: refused; EINVAL: the input ends inside a character).
    int ConvertWhole(std::string_view input, std::string& out);

    // Converts as much of [in, in + inLeft) as it can, appending to out. Returns the errno
    // of the stop (0 when everything was converted); in and inLeft point at the rest.
    int ConvertStretch(const char*& in, std::size_t& inLeft, std::string& out);

  private:
    iconv_t cd_;
};

}  // namespace vb::tools
