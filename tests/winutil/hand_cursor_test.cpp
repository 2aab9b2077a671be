#include <gtest/gtest.h>

#include "forms/errors.h"
#include "forms/label.h"
#include "forms/picture.h"
#include "forms/text_box.h"
#include "screen_fixture.h"
#include "winutil/fun_giving_hand_cursor.h"

namespace vb::winutil {
namespace {

class HandCursor : public test::ScreenFixture {
  protected:
    static bool HasHand(const forms::Control& c) {
        return c.MousePointer() == forms::kPointerCustom && c.MouseIcon() &&
               c.MouseIcon()->name == "CURSOR_HAND" && c.MouseIcon()->hotSpotX == 6 &&
               c.MouseIcon()->hotSpotY == 2;
    }
    forms::Label lblUrl{"lblUrl"};
    forms::TextBox txtSrcPath{"txtSrcPath"};
};

TEST_F(HandCursor, ASingleControlGetsTheHandAndOthersKeepTheDefault) {
    SetHandCursor("CURSOR_HAND", 2, lblUrl);
    EXPECT_TRUE(HasHand(lblUrl));
    EXPECT_EQ(txtSrcPath.MousePointer(), forms::kPointerDefault);
    EXPECT_FALSE(txtSrcPath.MouseIcon());
    EXPECT_EQ(forms::GetScreen().MousePointer(), forms::kPointerDefault);
}

TEST_F(HandCursor, EveryElementOfAFamilyGetsAPictureOfItsOwn) {
    forms::ControlArray<forms::Label> lblGuide("lblGuide");
    for (int i = 0; i < 3; ++i) lblGuide.Create(i);
    SetHandCursor("CURSOR_HAND", 2, lblGuide);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(HasHand(lblGuide[i])) << i;
    EXPECT_NE(lblGuide[0].MouseIcon(), lblGuide[1].MouseIcon());
    EXPECT_NE(lblGuide[1].MouseIcon(), lblGuide[2].MouseIcon());
}

TEST_F(HandCursor, TheScreenGetsItApplicationWideAlthoughItHasNoName) {
    SetHandCursor("CURSOR_HAND", 2, forms::GetScreen());
    EXPECT_EQ(forms::GetScreen().MousePointer(), forms::kPointerCustom);
    ASSERT_TRUE(forms::GetScreen().MouseIcon());
    EXPECT_EQ(forms::GetScreen().MouseIcon()->name, "CURSOR_HAND");
}

TEST_F(HandCursor, MixedObjectsAreServedInArgumentOrder) {
    forms::ControlArray<forms::Label> lblGuide("lblGuide");
    lblGuide.Create(4);
    lblGuide.Create(5);
    SetHandCursor("CURSOR_HAND", 2, lblUrl, lblGuide, forms::GetScreen(), txtSrcPath);
    EXPECT_TRUE(HasHand(lblUrl));
    EXPECT_TRUE(HasHand(lblGuide[4]));
    EXPECT_TRUE(HasHand(lblGuide[5]));
    EXPECT_TRUE(HasHand(txtSrcPath));
    EXPECT_EQ(forms::GetScreen().MousePointer(), forms::kPointerCustom);
}

TEST_F(HandCursor, NoObjectsLoadsNothing) {
    // Not even the resource: a missing name goes unnoticed.
    EXPECT_NO_THROW(SetHandCursor("NO_SUCH_CURSOR", 2, std::vector<PointerTarget>{}));
    EXPECT_NO_THROW(SetHandCursor("CURSOR_HAND", 70000, std::vector<PointerTarget>{}));
}

TEST_F(HandCursor, FailuresPassToTheCallerAfterTheObjectsBefore) {
    EXPECT_THROW(SetHandCursor("NO_SUCH_CURSOR", 2, lblUrl), forms::ResourceNotFound);
    EXPECT_FALSE(lblUrl.MouseIcon());
    EXPECT_THROW(SetHandCursor("CURSOR_HAND", 70000, lblUrl), forms::Overflow);
    EXPECT_THROW(SetHandCursor("CURSOR_HAND", 4, lblUrl), forms::InvalidProcedureCall);

    // A control without a name is taken for a family, which it is not.
    forms::Label unnamed("");
    EXPECT_THROW(SetHandCursor("CURSOR_HAND", 2, lblUrl, unnamed), forms::PropertyNotSupported);
    EXPECT_TRUE(HasHand(lblUrl));

    const std::vector<PointerTarget> nothing{static_cast<forms::Control*>(nullptr)};
    EXPECT_THROW(SetHandCursor("CURSOR_HAND", 2, nothing), forms::ObjectRequired);
    const std::vector<PointerTarget> noScreen{static_cast<forms::Screen*>(nullptr)};
    EXPECT_THROW(SetHandCursor("CURSOR_HAND", 2, noScreen), forms::ObjectRequired);
}

}  // namespace
}  // namespace vb::winutil
