#include "ui/dialogs/dialog_texts.h"

#include <gtest/gtest.h>

namespace ombrix::ui {
namespace {

TEST(DialogTextsTest, LicenseParagraphsBecomeBlankLinesOfTheEditControl) {
  EXPECT_EQ(LicenseTextForEditControl(u"First.\u2029Second.\u2028Line.\u2029"),
            u"First.\r\n\r\nSecond.\r\nLine.\r\n\r\n");
  EXPECT_EQ(LicenseTextForEditControl(u"No breaks"), u"No breaks");
  EXPECT_EQ(ThreadRangeText(u"Range: 1 to", 16), u"Range: 1 to 16");
}

}  // namespace
}  // namespace ombrix::ui
