#include "forms/resources.h"

#include <gtest/gtest.h>

#include "forms/errors.h"

namespace vb::forms {
namespace {

bool Bit(const std::vector<std::uint8_t>& plane, int x, int y) {
    return (plane.at(static_cast<std::size_t>(y * 4 + x / 8)) >> (7 - x % 8)) & 1;
}
// Windows cursor planes: AND 1 keeps the screen; otherwise XOR 0 is black, 1 white.
bool Transparent(const Picture& p, int x, int y) {
    return Bit(p.andMask, x, y) && !Bit(p.xorPlane, x, y);
}
bool Black(const Picture& p, int x, int y) {
    return !Bit(p.andMask, x, y) && !Bit(p.xorPlane, x, y);
}
bool White(const Picture& p, int x, int y) {
    return !Bit(p.andMask, x, y) && Bit(p.xorPlane, x, y);
}

TEST(HandCursor, IsA32By32MonochromeCursorWithItsHotSpotUnderTheFingerTip) {
    auto hand = LoadResPicture("CURSOR_HAND", 2);
    ASSERT_TRUE(hand);
    EXPECT_EQ(hand->kind, PictureKind::Cursor);
    EXPECT_EQ(hand->width, 32);
    EXPECT_EQ(hand->height, 32);
    EXPECT_EQ(hand->hotSpotX, 6);
    EXPECT_EQ(hand->hotSpotY, 2);
    ASSERT_EQ(hand->andMask.size(), 32u * 4);
    ASSERT_EQ(hand->xorPlane.size(), 32u * 4);

    EXPECT_TRUE(White(*hand, 6, 2));  // inside the finger, just under the tip
    EXPECT_TRUE(Black(*hand, 6, 1));  // the tip's outline
    EXPECT_TRUE(Transparent(*hand, 6, 0));
    int black = 0, white = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            EXPECT_FALSE(Bit(hand->andMask, x, y) && Bit(hand->xorPlane, x, y))
                << "no inverted pixels at " << x << "," << y;
            if (x >= 17 || y >= 22) {
                EXPECT_TRUE(Transparent(*hand, x, y)) << x << "," << y;
                continue;
            }
            black += Black(*hand, x, y);
            white += White(*hand, x, y);
        }
    }
    EXPECT_GT(black, 40);
    EXPECT_GT(white, 100);
}

TEST(ProgramResources, EveryLoadGivesAPictureOfItsOwnAndNamesIgnoreCase) {
    auto a = LoadResPicture("CURSOR_HAND", 2);
    auto b = LoadResPicture("cursor_hand", 2);
    EXPECT_NE(a.get(), b.get());
    EXPECT_EQ(a->andMask, b->andMask);
}

TEST(ProgramResources, FindsAddedPicturesByKind) {
    Picture bitmap;
    bitmap.name = "BMP_TEST";
    bitmap.kind = PictureKind::Bitmap;
    bitmap.width = 3;
    ProgramResources().Add(bitmap);
    EXPECT_EQ(LoadResPicture("BMP_TEST", 0)->width, 3);
    EXPECT_THROW(LoadResPicture("BMP_TEST", 2), ResourceNotFound);
}

struct RefusalCase {
    const char* name;
    std::int32_t kind;
    enum { NotFound, BadKind, TooBig } expected;
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name << " kind " << c.kind; }

class ResourceRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ResourceRefusal, IsReported) {
    const RefusalCase& c = GetParam();
    switch (c.expected) {
        case RefusalCase::NotFound:
            EXPECT_THROW(LoadResPicture(c.name, c.kind), ResourceNotFound);
            break;
        case RefusalCase::BadKind:
            EXPECT_THROW(LoadResPicture(c.name, c.kind), InvalidProcedureCall);
            break;
        case RefusalCase::TooBig:
            EXPECT_THROW(LoadResPicture(c.name, c.kind), Overflow);
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ResourceRefusal,
                         ::testing::Values(RefusalCase{"CURSOR_ARROW", 2, RefusalCase::NotFound},
                                           RefusalCase{"CURSOR_HAND", 1,
                                                       RefusalCase::NotFound},  // not an icon
                                           RefusalCase{"CURSOR_HAND", 0, RefusalCase::NotFound},
                                           RefusalCase{"CURSOR_HAND", 3, RefusalCase::BadKind},
                                           RefusalCase{"CURSOR_HAND", -1, RefusalCase::BadKind},
                                           RefusalCase{"CURSOR_HAND", 32767, RefusalCase::BadKind},
                                           RefusalCase{"CURSOR_HAND", 32768, RefusalCase::TooBig},
                                           RefusalCase{"CURSOR_HAND", -32769, RefusalCase::TooBig},
                                           RefusalCase{"CURSOR_HAND", 65538, RefusalCase::TooBig}));

}  // namespace
}  // namespace vb::forms
