#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Helpers shared by the fuzz targets.
namespace vb::fuzz {

// Splits one fuzz input into text fields. The input's first byte is the separator and the
// rest is cut at every occurrence of it, so a seed stays readable ("|file|Setting|Key|v")
// and the fuzzer can grow or shrink any field. Missing fields are empty.
class Fields {
  public:
    Fields(const std::uint8_t* data, std::size_t size);
    std::string Next();

  private:
    std::string_view rest_;
    char separator_ = 0;
    bool done_ = false;
};

// Reports a broken property with the values involved and aborts, so that libFuzzer keeps
// the input (and a replay fails).
[[noreturn]] void Fail(const char* condition, const std::string& detail, const char* file,
                       int line);

// Bytes shown as C escapes, cut to a readable length.
std::string Shown(std::string_view bytes);

// True when the bytes are well-formed UTF-8 (no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

}  // namespace vb::fuzz

#define VB_FUZZ_CHECK(condition, detail)                                              \
    do {                                                                              \
        if (!(condition)) ::vb::fuzz::Fail(#condition, (detail), __FILE__, __LINE__); \
    } while (0)
