#include "core/mft/mft_trace.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/test_environment.h"

namespace ombrix::core {
namespace {

void SetTraceVariable(const char* value) {
  test::SetEnvironmentVariableForTest("OMBRIX_MFT_TRACE", value);
}

TEST(MftTraceTest, LineListsEveryCounterInItsOrder) {
  MftScanStats stats;
  stats.chunks = 1;
  stats.bytes = 2;
  stats.records = 3;
  stats.nodes = 4;
  stats.parallelChunks = 5;
  stats.serialChunks = 6;
  stats.runs = 7;
  stats.mftDataSize = 18446744073709551615ull;
  stats.parseWorkerLimit = 9;
  stats.queryVolumeMs = 10;
  stats.resolveRootMs = 11;
  stats.readRunsMs = 12;
  stats.enumerateMftMs = 13;
  stats.buildChildrenMs = 14;
  stats.populateTreeMs = 15;
  stats.finalizeMs = -16;
  EXPECT_EQ(FormatMftTrace(stats, 17),
            "[OmbrixPerf] NtfsMftScanEngine::Scan detail: chunks=1, bytes=2, records=3, nodes=4, "
            "parallelChunks=5, serialChunks=6, runs=7, mftDataSize=18446744073709551615, "
            "queryVolumeMs=10, resolveRootMs=11, readRunsMs=12, enumerateMftMs=13, "
            "buildChildrenMs=14, populateTreeMs=15, finalizeMs=-16, totalMs=17, "
            "parseWorkerLimit=9\n");
}

TEST(MftTraceTest, VariableRules) {
  struct Case {
    std::optional<std::u16string> value;
    bool on;
  };
  const Case cases[] = {
      {std::nullopt, false},
      {u"", false},
      {u"1", true},
      {u"yes", true},
      {u"0", false},
      {u"0x", false},
      {u"10", true},
      {u"123456789012345", true},    // 15 characters fit the buffer
      {u"1234567890123456", false},  // 16 do not
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsMftTraceEnabled(c.value), c.on)
        << (c.value ? std::string(c.value->begin(), c.value->end()) : "(unset)");
  }
}

TEST(MftTraceTest, WritesOneLineToStandardErrorOnlyWhenSwitchedOn) {
  MftScanStats stats;
  SetTraceVariable("1");
  testing::internal::CaptureStderr();
  WriteMftTrace(stats, 5);
  const std::string on = testing::internal::GetCapturedStderr();
  EXPECT_EQ(on, FormatMftTrace(stats, 5));

  for (const char* off : {"0", "0x", "1234567890123456"}) {
    SetTraceVariable(off);
    testing::internal::CaptureStderr();
    WriteMftTrace(stats, 5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << off;
  }
  SetTraceVariable(nullptr);
  testing::internal::CaptureStderr();
  WriteMftTrace(stats, 5);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace ombrix::core
