// Faults the fuzz targets found, each pinned by the smallest input that showed it.
#include <gtest/gtest.h>

#include <string>

#include "codec/codec.h"
#include "settings/setting_value.h"

namespace vb::platform {
namespace {

// A byte that is not cp932 but is a lead byte, followed by a character that cp932 codes
// twice. The character used to go out under its other code, whose first byte paired with
// the carried byte: the file then read back as different characters.
TEST(FuzzFindingsTest, CarriedLeadByteDoesNotPairWithTheNextCharacter) {
    const struct {
        const char* bytes;
        const char* what;
    } cases[] = {
        {"\x81\xFA\x4A", "0x81, then FA4A (also 8754, and 81 87 is a character)"},
        {"\xEE\xEE\xA0", "0xEE, then EEA0 (also FBBC, and EE FB is a character)"},
        {"a\x81\xFA\x4A\x81\xFA\x4A z", "twice, between other text"},
    };
    for (const auto& c : cases) {
        const std::string decoded = codec::cp932::Decode(c.bytes);
        EXPECT_EQ(codec::cp932::Encode(decoded), c.bytes) << c.what;
        EXPECT_EQ(codec::cp932::Decode(codec::cp932::Encode(decoded)), decoded) << c.what;
    }
    // Without a carried byte before it the character keeps the encoder's usual code.
    EXPECT_EQ(codec::cp932::Encode(codec::cp932::Decode("\xFA\x4A\x81")), "\x87\x54\x81");
}

// A field holding a carried byte (a stand-in, from bytes of a file that are not cp932) right
// before a character whose stored byte pairs with it: 0xFA then "|" (0x7C) is the character
// FA7C, so the saved value came back as a different character.
TEST(FuzzFindingsTest, SavedValueKeepsACarriedByteApartFromTheNextCharacter) {
    const std::string carriedFA = codec::cp932::Decode("\xFA");
    const std::string carried81 = codec::cp932::Decode("\x81");
    for (const std::string& value :
         {carriedFA + "|", carried81 + carried81, "a" + carried81 + "A" + carriedFA}) {
        const std::string stored = settings::EncodeSettingValue(value);
        EXPECT_EQ(settings::DecodeSettingValue(stored), value) << stored;
    }
    // Where the byte pairs with nothing it is stored as itself, as the file had it.
    for (const std::string bytes : {"\xFA", "\xFF\xFE", "\x81 x", "\xEB\x40"})
        EXPECT_EQ(settings::EncodeSettingValue(settings::DecodeSettingValue(bytes)), bytes);
}

}  // namespace
}  // namespace vb::platform
