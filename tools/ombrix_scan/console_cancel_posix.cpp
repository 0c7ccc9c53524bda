// The native build's Ctrl+C; the Windows build uses console_cancel_win.cpp.
#include <atomic>
#include <signal.h>

#include "tools/ombrix_scan/console_cancel.h"

namespace ombrix::scan_tool {

namespace {

std::atomic<core::ScanCancellationToken*> g_token{nullptr};
struct sigaction g_previous {};

static_assert(std::atomic<core::ScanCancellationToken*>::is_always_lock_free &&
                  std::atomic<bool>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

void OnInterrupt(int) {
  if (core::ScanCancellationToken* token = g_token.load()) token->Cancel();
}

}  // namespace

ConsoleCancelScope::ConsoleCancelScope(core::ScanCancellationToken& token) {
  g_token.store(&token);
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // One-shot: the second Ctrl+C finds the default action and ends the process.
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &action, &g_previous);
}

ConsoleCancelScope::~ConsoleCancelScope() {
  sigaction(SIGINT, &g_previous, nullptr);
  g_token.store(nullptr);
}

}  // namespace ombrix::scan_tool
