// Answers a modal window the code under test opens on this thread: a
// second thread waits for the window to appear and acts on it as a user
// would (by posting messages). When the window never appears, the robot
// closes every window of the thread, so the modal call returns and the
// test fails instead of hanging.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace ombrix::ui {

class WindowRobot {
 public:
  // `title` must match exactly; `className` may be empty for any class.
  WindowRobot(std::wstring className, std::wstring title, std::function<void(HWND)> action,
              DWORD timeoutMs = 20000)
      : uiThread_(::GetCurrentThreadId()),
        className_(std::move(className)),
        title_(std::move(title)),
        action_(std::move(action)),
        thread_([this, timeoutMs] { Run(timeoutMs); }) {}
  ~WindowRobot() { thread_.join(); }
  WindowRobot(const WindowRobot&) = delete;
  WindowRobot& operator=(const WindowRobot&) = delete;

  bool acted() const { return acted_.load(); }

 private:
  struct Search {
    const WindowRobot* robot;
    HWND found;
  };

  static BOOL CALLBACK Match(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    wchar_t text[256] = {};
    wchar_t className[256] = {};
    ::GetWindowTextW(window, text, 256);
    ::GetClassNameW(window, className, 256);
    if (::IsWindowVisible(window) && search->robot->title_ == text &&
        (search->robot->className_.empty() || search->robot->className_ == className)) {
      search->found = window;
      return FALSE;
    }
    return TRUE;
  }

  static BOOL CALLBACK Close(HWND window, LPARAM) {
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
  }

  void Run(DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
      Search search{this, nullptr};
      ::EnumThreadWindows(uiThread_, Match, reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr) {
        // A window is shown before its procedure has finished setting it
        // up; a click that early can be lost.
        ::Sleep(300);
        action_(search.found);
        acted_ = true;
        return;
      }
      ::Sleep(50);
    }
    ::EnumThreadWindows(uiThread_, Close, 0);
  }

  DWORD uiThread_;
  std::wstring className_;
  std::wstring title_;
  std::function<void(HWND)> action_;
  std::atomic<bool> acted_{false};
  std::thread thread_;
};

}  // namespace ombrix::ui
