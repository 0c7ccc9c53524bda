#include "base/win/ntdll_functions_win.h"

#include <gtest/gtest.h>

namespace ombrix::base {
namespace {

CHAR askedMode = 0;

CHAR NTAPI AcceptingCall(CHAR mode) {
  askedMode = mode;
  return 0;  // the mode before
}

CHAR NTAPI RefusingCall(CHAR mode) {
  askedMode = mode;
  return -1;
}

// Placeholders are asked to be exposed, never hidden; a Windows without the
// call, or one that refuses, is told apart from success.
TEST(NtdllFunctionsTest, ExposePlaceholdersAsksForMode2) {
  NtdllFunctions functions;
  EXPECT_FALSE(ExposePlaceholders(functions));
  functions.setPlaceholderCompatibilityMode = AcceptingCall;
  EXPECT_TRUE(ExposePlaceholders(functions));
  EXPECT_EQ(askedMode, 2);
  askedMode = 0;
  functions.setPlaceholderCompatibilityMode = RefusingCall;
  EXPECT_FALSE(ExposePlaceholders(functions));
  EXPECT_EQ(askedMode, 2);
}

}  // namespace
}  // namespace ombrix::base
