#include "app/application_controller_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "base/text_encoding.h"
#include "tests/support/test_data.h"

namespace ombrix::app {
namespace {

// A message-only window of this thread: the controller posts to it, the
// test pumps it.
class MessageWindow {
 public:
  MessageWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"Ombrix.ControllerTest";
    ::RegisterClassW(&windowClass);
    window_ = ::CreateWindowExW(0, L"Ombrix.ControllerTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, windowClass.hInstance, nullptr);
  }
  ~MessageWindow() {
    if (window_) ::DestroyWindow(window_);
  }
  HWND get() const { return window_; }

  // Finished-scan messages taken from the queue within the time allowed;
  // stops at the first one unless drain is set.
  int TakeFinishedMessages(DWORD waitMs, bool drain) {
    int taken = 0;
    const ULONGLONG deadline = ::GetTickCount64() + waitMs;
    for (;;) {
      MSG msg;
      while (::PeekMessageW(&msg, window_, kScanFinishedMessage, kScanFinishedMessage, PM_REMOVE)) {
        EXPECT_EQ(msg.wParam, 0u);
        EXPECT_EQ(msg.lParam, 0);
        ++taken;
      }
      if ((taken > 0 && !drain) || ::GetTickCount64() >= deadline) return taken;
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
    }
  }

 private:
  HWND window_ = nullptr;
};

std::uint64_t CountListedFiles() {
  std::ifstream listing(test::TestDataDir() + "\\trees\\basic.listing");
  std::uint64_t files = 0;
  std::string line;
  while (std::getline(listing, line)) {
    files += line.find("\tf\t") != std::string::npos ? 1 : 0;
  }
  return files;
}

std::u16string BasicTree() { return test::ToU16(test::TestDataDir() + "\\trees\\basic"); }

TEST(ApplicationControllerWinTest, PostsExactlyOneFinishedMessageToTheWindow) {
  MessageWindow window;
  ASSERT_NE(window.get(), nullptr);
  {
    ApplicationController controller(SystemControllerPlatform());
    EXPECT_FALSE(controller.drives.empty());
    ASSERT_EQ(controller.StartScan(BasicTree(), window.get()), ScanStart::Started);
    ASSERT_EQ(window.TakeFinishedMessages(60'000, false), 1);
    EXPECT_FALSE(controller.IsScanning());
    core::ScanResult result = controller.TakeLatestResult();
    EXPECT_EQ(result.status, core::ScanStatus::Completed);
    EXPECT_EQ(result.engine, core::ScanEngineKind::NtQueryDirectory);
    EXPECT_EQ(result.rootPath, BasicTree());
    EXPECT_EQ(result.fileCount, CountListedFiles());
  }
  EXPECT_EQ(window.TakeFinishedMessages(200, true), 0);
}

TEST(ApplicationControllerWinTest, CancelledAtOnceStillPostsOnce) {
  MessageWindow window;
  ApplicationController controller(SystemControllerPlatform());
  ASSERT_EQ(controller.StartScan(BasicTree(), window.get()), ScanStart::Started);
  controller.CancelScan();
  ASSERT_EQ(window.TakeFinishedMessages(60'000, false), 1);
  EXPECT_EQ(window.TakeFinishedMessages(200, true), 0);
}

}  // namespace
}  // namespace ombrix::app
