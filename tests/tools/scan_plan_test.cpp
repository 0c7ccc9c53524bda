#include "tools/ombrix_scan/scan_plan.h"

#include <gtest/gtest.h>

namespace ombrix::scan_tool {
namespace {

std::vector<app::DriveInfo> Drives(std::initializer_list<const char16_t*> roots) {
  std::vector<app::DriveInfo> drives;
  for (const char16_t* root : roots) {
    app::DriveInfo drive;
    drive.rootPath = root;
    drives.push_back(drive);
  }
  return drives;
}

TEST(ScanPlanTest, PathsAndLabelFollowTheRequest) {
  const struct {
    const char* name;
    std::vector<std::u16string> paths;
    std::optional<std::u16string> label;
    bool allDrives;
    std::vector<std::u16string> expectedPaths;
    std::u16string expectedLabel;
  } cases[] = {
      {"one path scans as itself",
       {u"C:\\Data\\"},
       std::nullopt,
       false,
       {u"C:\\Data\\"},
       u"C:\\Data\\"},
      {"several paths under the default label",
       {u"C:\\a", u"D:\\b"},
       std::nullopt,
       false,
       {u"C:\\a", u"D:\\b"},
       u"All local drives"},
      {"several paths under a label",
       {u"C:\\a", u"D:\\b"},
       u"Mine",
       false,
       {u"C:\\a", u"D:\\b"},
       u"Mine"},
      {"one path under a label", {u"C:\\a"}, u"Mine", false, {u"C:\\a"}, u"Mine"},
      {"all drives in list order",
       {},
       std::nullopt,
       true,
       {u"C:\\", u"E:\\", u"D:\\"},
       u"All local drives"},
      {"all drives under a label",
       {},
       u"Everything",
       true,
       {u"C:\\", u"E:\\", u"D:\\"},
       u"Everything"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScanRequest request;
    request.paths = c.paths;
    request.label = c.label;
    request.allDrives = c.allDrives;
    const ScanPlan plan = PlanScan(request, Drives({u"C:\\", u"E:\\", u"D:\\"}));
    EXPECT_EQ(plan.paths, c.expectedPaths);
    EXPECT_EQ(plan.label, c.expectedLabel);
  }
}

TEST(ScanPlanTest, AllDrivesOnASingleDriveStillGetsTheSyntheticRoot) {
  ScanRequest request;
  request.allDrives = true;
  const ScanPlan plan = PlanScan(request, Drives({u"C:\\"}));
  EXPECT_EQ(plan.paths, std::vector<std::u16string>{u"C:\\"});
  EXPECT_EQ(plan.label, u"All local drives");
}

TEST(ScanPlanTest, EngineNamesMapToChoices) {
  EXPECT_EQ(EngineChoiceFor(EngineRequest::Automatic), core::ScanEngineChoice::Automatic);
  EXPECT_EQ(EngineChoiceFor(EngineRequest::Walk), core::ScanEngineChoice::DirectoryWalk);
  EXPECT_EQ(EngineChoiceFor(EngineRequest::NtQuery), core::ScanEngineChoice::NtQueryDirectory);
  EXPECT_EQ(EngineChoiceFor(EngineRequest::Mft), core::ScanEngineChoice::NtfsMft);
}

}  // namespace
}  // namespace ombrix::scan_tool
