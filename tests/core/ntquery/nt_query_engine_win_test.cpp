// What only a drive root shows, on Wine's Z: (the whole Linux file system,
// so the scan stops early): the root's empty name, paths below it without a
// doubled separator, and the larger node reserve. The engine's trees are
// checked against their listings through ombrix-scan
// (tests/tools/tree_scan_check.py).
#include <gtest/gtest.h>

#include "base/text_encoding.h"
#include "core/ntquery/nt_query_engine.h"

namespace ombrix::core {
namespace {

TEST(NtQueryEngineWineTest, DriveRootHasAnEmptyNameAndTheLargeReserve) {
  NtQueryDirectoryScanEngine engine(8);
  ScanCancellationToken token;
  const ScanResult result = engine.Scan(u"Z:\\", token, [&](const ScanProgress& p) {
    if (p.filesScanned + p.foldersScanned >= 2000) token.Cancel();
  });
  EXPECT_EQ(result.status, ScanStatus::Cancelled);
  EXPECT_EQ(result.rootPath, u"Z:\\");
  const ScanNode root = result.nodes[result.rootIndex];
  EXPECT_EQ(root.Name(), u"");
  EXPECT_EQ(root.Path(), u"Z:\\");
  EXPECT_GE(result.nodes.capacity(), NtQueryDirectoryScanEngine::kDriveRootReserve);
  EXPECT_GT(result.nodes.size(), 1u);
  for (const ScanNode& node : result.nodes) {
    EXPECT_EQ(node.Path().find(u"\\\\"), std::u16string::npos) << base::ToUtf8(node.Path());
  }
  bool hasTmp = false;
  for (std::uint64_t child : root.Children()) {
    hasTmp = hasTmp || result.nodes[child].Path() == u"Z:\\tmp";
  }
  EXPECT_TRUE(hasTmp);
}

}  // namespace
}  // namespace ombrix::core
