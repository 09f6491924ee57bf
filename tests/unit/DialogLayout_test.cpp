// The password dialogs' layout, worked out by hand for two font sizes.
#include "activation/DialogLayout.h"

#include <gtest/gtest.h>

namespace {

void ExpectPlacement(const Placement& p, int left, int top, int width, int height, const char* what)
{
    EXPECT_EQ(p.Left, left) << what;
    EXPECT_EQ(p.Top, top) << what;
    EXPECT_EQ(p.Width, width) << what;
    EXPECT_EQ(p.Height, height) << what;
}

}  // namespace

TEST(RoundedMulDiv, RoundsToNearestAndReportsFailure)
{
    struct Case {
        int32_t a, b, c, result;
    };
    const Case cases[] = {
        {65, 13, 8, 106},     // 105.625
        {15, 13, 8, 24},      // 24.375
        {36, 13, 8, 59},      // 58.5: halves round away from zero
        {-36, 13, 8, -59},
        {36, -13, -8, 59},
        {262, 1, 2, 131},
        {0x7FFFFFFF, 2, 2, 0x7FFFFFFF},   // the product may exceed 32 bits
        {0x7FFFFFFF, 4, 1, -1},           // the result may not
        {5, 5, 0, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(RoundedMulDiv(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
}

// "MS Sans Serif" 8 pt at 96 dpi: cx = 6, cy = 13.
//   width 180*6/4 = 270; height 65*13/8 = 105.625 -> 106 (two fields: 93*13/8 = 151.125 -> 151)
//   edit top 18*13/8 = 29.25 -> 29, width 270 - 24 = 246
//   buttons 50*6/4 = 75 by 15*13/8 = 24.375 -> 24, top = height - 39
//   OK left 262/2 - 75 = 56, Cancel left 278/2 = 139: 8 pixels apart, centred
//   second label 36*13/8 = 58.5 -> 59, second edit 46*13/8 = 74.75 -> 75
TEST(PasswordDialogLayout, SmallFont)
{
    const PasswordDialogLayout single = SingleFieldLayout({6, 13});
    EXPECT_EQ(single.ClientWidth, 270);
    EXPECT_EQ(single.ClientHeight, 106);
    ExpectPlacement(single.Label1, 12, 13, 0, 0, "label");
    ExpectPlacement(single.Edit1, 12, 29, 246, 0, "edit");
    ExpectPlacement(single.Ok, 56, 67, 75, 24, "OK");
    ExpectPlacement(single.Cancel, 139, 67, 75, 24, "Cancel");
    EXPECT_EQ(single.Cancel.Left - (single.Ok.Left + single.Ok.Width), 8);

    const PasswordDialogLayout pair = TwoFieldLayout({6, 13});
    EXPECT_EQ(pair.ClientWidth, 270);
    EXPECT_EQ(pair.ClientHeight, 151);
    ExpectPlacement(pair.Label2, 12, 59, 0, 0, "second label");
    ExpectPlacement(pair.Edit2, 12, 75, 246, 0, "second edit");
    ExpectPlacement(pair.Ok, 56, 112, 75, 24, "OK");
    ExpectPlacement(pair.Cancel, 139, 112, 75, 24, "Cancel");
}

// A larger font, cx = 7, cy = 16: width 315; heights 130 and 186;
// edit top 36, width 287; buttons 88 (87.5) by 30; OK 154 - 88 = 66, Cancel 162;
// second label 72, second edit 92.
TEST(PasswordDialogLayout, LargerFontGrowsTheDialog)
{
    const PasswordDialogLayout single = SingleFieldLayout({7, 16});
    EXPECT_EQ(single.ClientWidth, 315);
    EXPECT_EQ(single.ClientHeight, 130);
    ExpectPlacement(single.Edit1, 14, 36, 287, 0, "edit");
    ExpectPlacement(single.Ok, 66, 82, 88, 30, "OK");
    ExpectPlacement(single.Cancel, 162, 82, 88, 30, "Cancel");

    const PasswordDialogLayout pair = TwoFieldLayout({7, 16});
    EXPECT_EQ(pair.ClientHeight, 186);
    ExpectPlacement(pair.Label2, 14, 72, 0, 0, "second label");
    ExpectPlacement(pair.Edit2, 14, 92, 287, 0, "second edit");
}
