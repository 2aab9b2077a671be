#include "window_fixture.h"

#include "codec/codec.h"

namespace vb::test {

void WindowTest::WriteSettings(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    WriteBytes(IniPath(), codec::cp932::Encode(text));
}

}  // namespace vb::test
