#include "base/win/unique_handle_win.h"

#include <gtest/gtest.h>

namespace ombrix::base {
namespace {

// CreateEventW and OpenProcess fail with null, CreateFileW with
// INVALID_HANDLE_VALUE: neither may count as a handle, and neither may be
// handed to CloseHandle.
TEST(UniqueHandleTest, NullAndInvalidValueAreNoHandle) {
  EXPECT_FALSE(UniqueHandle().valid());
  EXPECT_FALSE(UniqueHandle(nullptr).valid());
  EXPECT_FALSE(UniqueHandle(INVALID_HANDLE_VALUE).valid());
  EXPECT_FALSE(UniqueFindHandle(nullptr).valid());
  EXPECT_FALSE(UniqueHandle(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, 0)).valid());
}

TEST(UniqueHandleTest, OwnsAndClosesARealHandle) {
  UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(event.valid());
  const HANDLE raw = event.get();
  UniqueHandle moved(std::move(event));
  EXPECT_FALSE(event.valid());
  EXPECT_EQ(moved.get(), raw);
  moved.reset();
  DWORD flags = 0;
  EXPECT_FALSE(::GetHandleInformation(raw, &flags)) << "reset closes the handle";
}

}  // namespace
}  // namespace ombrix::base
