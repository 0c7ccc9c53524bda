#include "ui/dialogs/scan_settings_choice.h"

#include <gtest/gtest.h>

namespace ombrix::ui {
namespace {

TEST(ScanSettingsChoiceTest, StartsOnTheStoredCountWithinTheRange) {
  struct Case {
    std::uint32_t stored, maximum;
    int selection;
  };
  for (const Case& c : {Case{4, 8, 3}, Case{12, 8, 7}, Case{0, 8, 0}, Case{1, 1, 0}}) {
    ScanSettingsValues values;
    values.threadsPerDrive = c.stored;
    values.maxThreadsPerDrive = c.maximum;
    EXPECT_EQ(InitialThreadSelection(values), c.selection) << c.stored << " of " << c.maximum;
  }
}

TEST(ScanSettingsChoiceTest, AlwaysElevatedClearsAndGreysTheQuestion) {
  EXPECT_EQ(CoupleElevationBoxes(true, true).askChecked, false);
  EXPECT_EQ(CoupleElevationBoxes(true, true).askEnabled, false);
  EXPECT_EQ(CoupleElevationBoxes(false, false).askEnabled, true);
  EXPECT_EQ(CoupleElevationBoxes(true, false).askChecked, true);
}

TEST(ScanSettingsChoiceTest, AcceptingStoresTheCountAndTheElevationChoice) {
  struct Case {
    const char* what;
    int selection;
    bool ask, always;
    bool accepted;
    ScanSettingsValues expected;
  };
  // Before: 2 of 8 threads, asked at start-up, prompt suppressed earlier.
  const ScanSettingsValues before{2, 8, true, true, false};
  const Case cases[] = {
      {"always elevated", 5, false, true, true, {6, 8, false, false, true}},
      {"ask at start-up", 0, true, false, true, {1, 8, true, false, false}},
      {"neither keeps suppress", 7, false, false, true, {8, 8, false, true, false}},
      {"no selection", -1, true, false, false, before},
      {"beyond the list", 8, true, false, false, before},
  };
  for (const Case& c : cases) {
    ScanSettingsValues values = before;
    EXPECT_EQ(AcceptScanSettings(c.selection, c.ask, c.always, values), c.accepted) << c.what;
    EXPECT_EQ(values.threadsPerDrive, c.expected.threadsPerDrive) << c.what;
    EXPECT_EQ(values.showAdminPromptOnStartup, c.expected.showAdminPromptOnStartup) << c.what;
    EXPECT_EQ(values.suppressAdminPrompt, c.expected.suppressAdminPrompt) << c.what;
    EXPECT_EQ(values.alwaysStartAsAdministrator, c.expected.alwaysStartAsAdministrator) << c.what;
  }
}

}  // namespace
}  // namespace ombrix::ui
