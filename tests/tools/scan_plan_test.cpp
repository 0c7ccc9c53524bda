#include "tools/ombrix_scan/scan_plan.h"

#include <gtest/gtest.h>

namespace ombrix::scan_tool {
namespace {

std::vector<app::DriveInfo> Drives(const std::vector<std::u16string>& roots) {
  std::vector<app::DriveInfo> drives;
  for (const std::u16string& root : roots) {
    app::DriveInfo drive;
    drive.rootPath = root;
    drives.push_back(drive);
  }
  return drives;
}

TEST(ScanPlanTest, PathsAndLabelFollowTheRequest) {
  const std::vector<std::u16string> drives = {u"C:\\", u"E:\\", u"D:\\"};
  // With --all-drives the paths are the drives in list order.
  const struct {
    const char* name;
    std::vector<std::u16string> paths;
    std::optional<std::u16string> label;
    std::u16string expectedLabel;
  } cases[] = {
      {"one path scans as itself", {u"C:\\Data\\"}, std::nullopt, u"C:\\Data\\"},
      {"several paths under the default label",
       {u"C:\\a", u"D:\\b"},
       std::nullopt,
       u"All local drives"},
      {"several paths under a label", {u"C:\\a", u"D:\\b"}, u"Mine", u"Mine"},
      {"one path under a label", {u"C:\\a"}, u"Mine", u"Mine"},
      {"all drives", {}, std::nullopt, u"All local drives"},
      {"all drives under a label", {}, u"Everything", u"Everything"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScanRequest request;
    request.paths = c.paths;
    request.label = c.label;
    request.allDrives = c.paths.empty();
    const ScanPlan plan = PlanScan(request, Drives(drives));
    EXPECT_EQ(plan.paths, c.paths.empty() ? drives : c.paths);
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

}  // namespace
}  // namespace ombrix::scan_tool
