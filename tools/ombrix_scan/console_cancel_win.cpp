#include <windows.h>

#include <atomic>

#include "tools/ombrix_scan/console_cancel.h"

namespace ombrix::scan_tool {

namespace {

std::atomic<core::ScanCancellationToken*> g_token{nullptr};
std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  // FALSE hands the second interrupt to the default handler, which ends
  // the process.
  if (g_interrupted.exchange(true)) return FALSE;
  if (core::ScanCancellationToken* token = g_token.load()) token->Cancel();
  return TRUE;
}

}  // namespace

ConsoleCancelScope::ConsoleCancelScope(core::ScanCancellationToken& token) {
  g_token.store(&token);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

ConsoleCancelScope::~ConsoleCancelScope() {
  SetConsoleCtrlHandler(OnConsoleControl, FALSE);
  g_token.store(nullptr);
}

}  // namespace ombrix::scan_tool
