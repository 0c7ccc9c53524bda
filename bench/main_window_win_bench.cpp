// The window thread's two heaviest moments on a folder of 100,000 children,
// timed in the real main window (shown, under Wine on a virtual display):
//   hand-over: WM_APP + 1 with a finished result waiting in the controller,
//              until the three lists have painted their rows;
//   expand:    a double click on that folder's row (NM_DBLCLK), until the
//              Folders list has painted the 100,000 rows it now has.
// Each is measured RUNS times (collapsing in between); prints every run
// and the medians in milliseconds, one "name: value" per line.
//   main_window_win_bench.exe [runs] [children]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/application_controller.h"
#include "app/settings/settings_files.h"
#include "app/settings/settings_store.h"
#include "core/scan_tree_builder.h"
#include "ui/common/control_ids.h"
#include "ui/window/main_window_state_win.h"
#include "ui/window/main_window_win.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// root -> { big (children files), small folder, one file }
ombrix::core::ScanResult Tree(std::uint64_t children) {
  ombrix::core::ScanTreeBuilder builder;
  builder.nodes.Reserve(children + 5);
  const auto root = builder.AddRoot(u"", u"C:\\bench", ombrix::core::kAttributeDirectory, 0);
  const auto big = builder.AddDirectory(root, u"big", ombrix::core::kAttributeDirectory, 0);
  const auto small = builder.AddDirectory(root, u"small", ombrix::core::kAttributeDirectory, 0);
  builder.AddFile(small, u"one.bin", 0x20, 10, 0);
  builder.AddFile(root, u"loose.bin", 0x20, 5, 0);
  for (std::uint64_t i = 0; i < children; ++i) {
    const std::uint64_t size = 1000 + (i * 7919) % 100000;
    const std::string number = std::to_string(i);
    builder.AddFile(big, u"file-" + std::u16string(number.begin(), number.end()) + u".dat", 0x20,
                    size, 0);
  }
  builder.ComputeTotals();
  return builder.BuildResult(ombrix::core::ScanStatus::Completed, u"C:\\bench", 0);
}

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void PaintNow(const ombrix::ui::MainWindowState& state) {
  for (HWND list : {state.controls.foldersList, state.controls.filesList,
                    state.controls.subfoldersList}) {
    ::UpdateWindow(list);
  }
}

void DoubleClickRow(const ombrix::ui::MainWindowState& state, int row) {
  NMITEMACTIVATE click{};
  click.hdr.hwndFrom = state.controls.foldersList;
  click.hdr.idFrom = ombrix::ui::kFoldersListId;
  click.hdr.code = NM_DBLCLK;
  click.iItem = row;
  ::SendMessageW(state.window, WM_NOTIFY, ombrix::ui::kFoldersListId,
                 reinterpret_cast<LPARAM>(&click));
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
  const std::uint64_t children = argc > 2 ? std::wcstoull(argv[2], nullptr, 10) : 100000;
  ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
  ::InitCommonControlsEx(&controls);
  const auto folder = std::filesystem::temp_directory_path() / "ombrix-window-bench";
  std::filesystem::remove_all(folder);
  auto state = std::make_unique<ombrix::ui::MainWindowState>(
      ::GetModuleHandleW(nullptr),
      ombrix::app::SettingsStore((folder / "ombrix.settings.json").u16string(),
                                 ombrix::app::SystemSettingsFiles()),
      ombrix::ui::StartupSeams{});
  if (!ombrix::ui::RegisterMainWindowClass(*state) ||
      ombrix::ui::CreateMainWindow(*state, u"Ombrix bench") == nullptr) {
    std::fputs("could not create the window\n", stderr);
    return 1;
  }
  ombrix::ui::PlaceOnMonitorWorkArea(state->window);
  ::ShowWindow(state->window, SW_SHOWNORMAL);
  ::UpdateWindow(state->window);
  Pump();

  std::vector<double> handOver;
  std::vector<double> expand;
  for (int run = 0; run < runs; ++run) {
    ombrix::core::ScanResult result = Tree(children);
    {
      std::lock_guard lock(state->controller.scanMutex);
      state->controller.latestResult = std::move(result);
    }
    const auto start = Clock::now();
    ::SendMessageW(state->window, ombrix::app::kScanFinishedMessage, 0, 0);
    PaintNow(*state);
    handOver.push_back(Milliseconds(Clock::now() - start));
    Pump();
    // Row 1 is "big", the largest child.
    const auto expandStart = Clock::now();
    DoubleClickRow(*state, 1);
    PaintNow(*state);
    expand.push_back(Milliseconds(Clock::now() - expandStart));
    const auto rows = ::SendMessageW(state->controls.foldersList, LVM_GETITEMCOUNT, 0, 0);
    if (rows != static_cast<LRESULT>(children + 4)) {
      std::fprintf(stderr, "expanded list has %lld rows, not %llu\n", static_cast<long long>(rows),
                   static_cast<unsigned long long>(children + 4));
      return 1;
    }
    Pump();
    DoubleClickRow(*state, 1);  // collapse again
    Pump();
    std::printf("run %d: hand-over %.1f ms, expand %.1f ms\n", run + 1, handOver.back(),
                expand.back());
  }
  std::printf("children: %llu\n", static_cast<unsigned long long>(children));
  std::printf("hand-over median ms: %.1f\n", Median(handOver));
  std::printf("expand median ms: %.1f\n", Median(expand));
  ::DestroyWindow(state->window);
  Pump();
  state.reset();
  std::filesystem::remove_all(folder);
  return Median(handOver) < 1000.0 && Median(expand) < 1000.0 ? 0 : 2;
}
