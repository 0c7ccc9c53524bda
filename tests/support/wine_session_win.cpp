// Holds a Wine session open for a whole test run: a window of its own keeps
// Wine's desktop process (explorer.exe /desktop) alive. Left alone, Wine
// ends the desktop a moment after the last program that used it, and a
// test that creates a window while the next one is starting up can get no
// window at all. Writes the file named by its first argument once its
// window exists, then waits until the run's end kills it (or an hour
// passes, so a run that never reached its end leaves nothing behind).
#include <windows.h>

#include <fstream>

int wmain(int argc, wchar_t** argv) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"Ombrix.TestSession";
  ::RegisterClassW(&windowClass);
  // A message-only window: it needs the desktop like any other, and works
  // without a display.
  const HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0,
                                        HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 1;
  if (argc > 1) std::ofstream(argv[1]) << "ready\n";
  ::SetTimer(window, 1, 60 * 60 * 1000, nullptr);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER) break;
    ::DispatchMessageW(&message);
  }
  ::DestroyWindow(window);
  return 0;
}
