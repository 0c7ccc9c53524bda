// The native Ctrl+C path; the Windows console handler needs a real console,
// which headless Wine does not give a test.

#include <gtest/gtest.h>

#include <signal.h>

#include "tools/ombrix_scan/console_cancel.h"

namespace ombrix::scan_tool {
namespace {

TEST(ConsoleCancelTest, InterruptCancelsTheTokenOnceThenRestoresTheHandler) {
  struct sigaction before {};
  sigaction(SIGINT, nullptr, &before);
  core::ScanCancellationToken token;
  {
    ConsoleCancelScope scope(token);
    EXPECT_FALSE(token.IsCancelled());
    raise(SIGINT);
    EXPECT_TRUE(token.IsCancelled());
    // One-shot: a second interrupt would now end the process.
    struct sigaction during {};
    sigaction(SIGINT, nullptr, &during);
    EXPECT_EQ(during.sa_handler, SIG_DFL);
  }
  struct sigaction after {};
  sigaction(SIGINT, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace
}  // namespace ombrix::scan_tool
