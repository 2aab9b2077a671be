#include <gtest/gtest.h>

#include <QApplication>

#include "qt/system_colors.h"
#include "qt/text_box_view.h"

namespace vb::qtview {
namespace {

TEST(SystemColors, ResolveFromThePaletteOrFromBgr) {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Dark, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::Light, QColor(4, 5, 6));
    palette.setColor(QPalette::Active, QPalette::Button, QColor(7, 8, 9));
    palette.setColor(QPalette::Active, QPalette::Base, QColor(10, 11, 12));
    palette.setColor(QPalette::Active, QPalette::Text, QColor(13, 14, 15));
    const std::pair<forms::Color, QColor> cases[] = {
        {forms::kButtonShadow, QColor(1, 2, 3)},  {forms::kButtonHighlight, QColor(4, 5, 6)},
        {forms::kButtonFace, QColor(7, 8, 9)},    {forms::kWindowBackground, QColor(10, 11, 12)},
        {forms::kWindowText, QColor(13, 14, 15)}, {forms::kBlue, QColor(0, 0, 255)},
        {0x000080FFu, QColor(255, 128, 0)},       {0x00000000u, QColor(0, 0, 0)},
        {0x800000FFu, QColor(Qt::black)},  // no such system colour
    };
    for (const auto& [color, expected] : cases)
        EXPECT_EQ(ResolveColor(color, palette), expected) << std::hex << color;
}

TEST(TextBoxText, CrLfBecomesPlainBreaksAndBack) {
    EXPECT_EQ(TextBoxView::ToWidgetText("a\r\nb\r\n", true), QString("a\nb\n"));
    EXPECT_EQ(TextBoxView::ToWidgetText("a\r\nb", false), QString("ab"));
    EXPECT_EQ(TextBoxView::FromWidgetText("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(TextBoxView::FromWidgetText(QString("a") + QChar::ParagraphSeparator + "b"),
              "a\r\nb");
    EXPECT_EQ(TextBoxView::FromWidgetText(QString("a") + QChar::LineSeparator + "b"), "a\r\nb");
    EXPECT_EQ(TextBoxView::FromWidgetText("a\r\nb"), "a\r\nb");  // not doubled
    EXPECT_EQ(TextBoxView::FromWidgetText("ｶﾅ漢字"), "ｶﾅ漢字");
}

}  // namespace
}  // namespace vb::qtview
