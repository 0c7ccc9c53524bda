#include <gtest/gtest.h>

#include "core/ntquery/nt_query_engine.h"

namespace ombrix::core {
namespace {

// Without ntdll the engine still returns the root, with the missing call
// recorded, instead of an empty result.
TEST(NtQueryEngineTest, SystemListerOutsideWindowsReportsTheCallMissing) {
  NtQueryDirectoryScanEngine engine(0);
  ScanCancellationToken token;
  const ScanResult result = engine.Scan(u"/tmp", token, {});
  EXPECT_EQ(result.nodes.size(), 1u);
  ASSERT_EQ(result.issues.size(), 1u);
  EXPECT_EQ(result.issues[0].errorCode, 127u);
}

}  // namespace
}  // namespace ombrix::core
