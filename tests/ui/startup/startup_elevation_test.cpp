#include "ui/startup/startup_elevation.h"

#include <gtest/gtest.h>

namespace ombrix::ui {
namespace {

TEST(StartupElevationTest, FollowsTheElevationSettings) {
  struct Case {
    bool elevated, always, show, suppress;
    StartupElevation expected;
  };
  const Case cases[] = {
      {true, true, true, false, StartupElevation::Continue},
      {true, false, true, false, StartupElevation::Continue},
      {false, true, false, true, StartupElevation::Relaunch},
      {false, false, false, false, StartupElevation::Continue},
      {false, false, true, true, StartupElevation::Continue},
      {false, false, true, false, StartupElevation::Ask},
  };
  for (const Case& c : cases) {
    app::AppSettings settings;
    settings.alwaysStartAsAdministrator = c.always;
    settings.showAdminPromptOnStartup = c.show;
    settings.suppressAdminPrompt = c.suppress;
    EXPECT_EQ(DecideStartupElevation(c.elevated, settings), c.expected)
        << c.elevated << c.always << c.show << c.suppress;
  }
}

TEST(StartupElevationTest, DontAskAgainSilencesThePromptWhicheverButtonWasUsed) {
  for (const bool relaunch : {false, true}) {
    app::AppSettings settings;
    EXPECT_FALSE(ApplyStartupPromptAnswer({relaunch, false}, settings));
    EXPECT_TRUE(settings.showAdminPromptOnStartup);
    EXPECT_TRUE(ApplyStartupPromptAnswer({relaunch, true}, settings));
    EXPECT_FALSE(settings.showAdminPromptOnStartup);
    EXPECT_TRUE(settings.suppressAdminPrompt);
    EXPECT_EQ(DecideStartupElevation(false, settings), StartupElevation::Continue);
  }
}

}  // namespace
}  // namespace ombrix::ui
