// ombrix-ui-driver: the GUI tests' hands and eyes. A console program that
// finds Ombrix's windows, reads their controls across the process boundary
// and posts the messages a user's clicks would cause. One action per run,
// JSON on standard output; exit code 0 on success, 1 when the action
// failed or timed out, 2 for a bad command line. Test code only.
//
//   windows  [--class C] [--pid P]           visible top-level windows
//   wait     --class C [--pid P] [--gone] [--timeout-ms N]
//   report   --hwnd H                        window, controls, menu bar
//   command  --hwnd H --id N                 WM_COMMAND (menu or button id)
//   click    --hwnd H --id N                 BM_CLICK on child N
//   select   --hwnd H --id N --index I       CB_SETCURSEL on child N
//   set-text --hwnd H --id N --text T        WM_SETTEXT on child N
//   close    --hwnd H                        WM_CLOSE
//   mouse    --hwnd H --event down|move|up --x X --y Y   (client pixels)
//   dpi-changed --hwnd H --dpi D --rect L,T,R,B
//   list-click --hwnd H --id N --row R [--column C] [--x X] [--double]
//                                            left click on a list row's cell
//                                            (X: pixels from the cell's left
//                                            edge, default its middle)
//   header-click --hwnd H --id N --column C  left click on a list's header
//   drop     --hwnd H --path P [--path2 Q]   WM_DROPFILES with these paths
//   post     --hwnd H --message M [--wparam W] [--lparam L]
//                                            any message, posted (keys for an
//                                            open menu, WM_SYSCOMMAND, ...)
#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <commctrl.h>
#include <cstring>
#include <vector>
#include <cstdlib>
#include <map>
#include <string>

#include "base/win/wide_string_win.h"
#include "tests/ui/driver/json_writer.h"
#include "tests/ui/driver/remote_buffer_win.h"
#include "tests/ui/driver/window_report_win.h"

namespace ombrix::ui::driver {
namespace {

using Options = std::map<std::wstring, std::wstring>;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

long long Number(const Options& options, const wchar_t* name, long long fallback = 0) {
  const auto found = options.find(name);
  return found == options.end() ? fallback : _wcstoi64(found->second.c_str(), nullptr, 0);
}

HWND WindowOption(const Options& options) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(Number(options, L"hwnd")));
}

int Print(const JsonWriter& json, int exitCode = 0) {
  std::fwrite(json.text().data(), 1, json.text().size(), stdout);
  std::fputc('\n', stdout);
  return exitCode;
}

int Result(bool ok) {
  JsonWriter json;
  json.BeginObject();
  json.Key("ok").Bool(ok);
  json.EndObject();
  return Print(json, ok ? 0 : kExitFailed);
}

bool AnyWindow(const std::wstring& className, DWORD processId) {
  JsonWriter probe;
  WriteTopLevelWindows(probe, className.c_str(), processId);
  return probe.text() != "[]";
}

int Wait(const Options& options) {
  const std::wstring className = options.count(L"class") ? options.at(L"class") : L"";
  const DWORD processId = static_cast<DWORD>(Number(options, L"pid"));
  const bool gone = options.count(L"gone") != 0;
  const ULONGLONG deadline = ::GetTickCount64() + Number(options, L"timeout-ms", 20000);
  bool reached = false;
  while (!(reached = AnyWindow(className, processId) != gone) && ::GetTickCount64() < deadline) {
    ::Sleep(100);
  }
  JsonWriter json;
  WriteTopLevelWindows(json, className.c_str(), processId);
  return Print(json, reached ? 0 : kExitFailed);
}

int Mouse(const Options& options) {
  const std::wstring event = options.count(L"event") ? options.at(L"event") : L"";
  const UINT message = event == L"down" ? WM_LBUTTONDOWN
                       : event == L"up" ? WM_LBUTTONUP
                                        : WM_MOUSEMOVE;
  const WPARAM buttons = event == L"up" ? 0 : MK_LBUTTON;
  const LPARAM point = MAKELPARAM(static_cast<short>(Number(options, L"x")),
                                  static_cast<short>(Number(options, L"y")));
  return Result(::PostMessageW(WindowOption(options), message, buttons, point) != FALSE);
}

// WM_DPICHANGED carries a pointer to the suggested rectangle, which must
// be readable in the window's own process.
int DpiChanged(const Options& options) {
  const HWND window = WindowOption(options);
  RECT rect{};
  if (options.count(L"rect") == 0 ||
      swscanf(options.at(L"rect").c_str(), L"%ld,%ld,%ld,%ld", &rect.left, &rect.top, &rect.right,
              &rect.bottom) != 4) {
    return kExitUsage;
  }
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  RemoteBuffer remote(processId, sizeof(rect));
  if (!remote.valid() || !remote.Write(0, &rect, sizeof(rect))) return Result(false);
  const WORD dpi = static_cast<WORD>(Number(options, L"dpi", 96));
  DWORD_PTR answer = 0;
  return Result(::SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), remote.At(0),
                                      SMTO_ABORTIFHUNG, 5000, &answer) != 0);
}

// A list cell's rectangle, asked of the list in its own process.
bool RemoteRect(HWND control, UINT message, WPARAM wParam, RECT& rect) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(control, &processId);
  RemoteBuffer remote(processId, sizeof(rect));
  if (!remote.valid() || !remote.Write(0, &rect, sizeof(rect))) return false;
  DWORD_PTR answer = 0;
  if (!::SendMessageTimeoutW(control, message, wParam, remote.At(0), SMTO_ABORTIFHUNG, 5000,
                             &answer) ||
      answer == 0) {
    return false;
  }
  return remote.Read(0, &rect, sizeof(rect));
}

// The mouse messages of a click, posted as the system would queue them; the
// control does its own hit-testing and tells its parent.
bool PostClick(HWND control, int x, int y, bool twice) {
  const LPARAM point = MAKELPARAM(static_cast<short>(x), static_cast<short>(y));
  bool ok = ::PostMessageW(control, WM_MOUSEMOVE, 0, point) != FALSE;
  ok = ok && ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, point) != FALSE;
  ok = ok && ::PostMessageW(control, WM_LBUTTONUP, 0, point) != FALSE;
  if (twice) {
    ok = ok && ::PostMessageW(control, WM_LBUTTONDBLCLK, MK_LBUTTON, point) != FALSE;
    ok = ok && ::PostMessageW(control, WM_LBUTTONUP, 0, point) != FALSE;
  }
  return ok;
}

int ListClick(const Options& options) {
  const HWND list = ::GetDlgItem(WindowOption(options), static_cast<int>(Number(options, L"id")));
  const int row = static_cast<int>(Number(options, L"row"));
  const int column = static_cast<int>(Number(options, L"column"));
  RECT cell{};
  cell.top = column;
  cell.left = LVIR_BOUNDS;
  if (list == nullptr || !RemoteRect(list, LVM_GETSUBITEMRECT, row, cell)) return Result(false);
  if (column == 0) {
    DWORD_PTR width = 0;
    ::SendMessageTimeoutW(list, LVM_GETCOLUMNWIDTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &width);
    cell.right = cell.left + static_cast<LONG>(width);
  }
  const int x = options.count(L"x") ? cell.left + static_cast<int>(Number(options, L"x"))
                                    : (cell.left + cell.right) / 2;
  const int y = (cell.top + cell.bottom) / 2;
  const bool ok = PostClick(list, x, y, options.count(L"double") != 0);
  JsonWriter json;
  json.BeginObject();
  json.Key("ok").Bool(ok);
  json.Key("x").Number(x);
  json.Key("y").Number(y);
  json.EndObject();
  return Print(json, ok ? 0 : kExitFailed);
}

int HeaderClick(const Options& options) {
  const HWND list = ::GetDlgItem(WindowOption(options), static_cast<int>(Number(options, L"id")));
  DWORD_PTR header = 0;
  if (list == nullptr ||
      !::SendMessageTimeoutW(list, LVM_GETHEADER, 0, 0, SMTO_ABORTIFHUNG, 5000, &header) ||
      header == 0) {
    return Result(false);
  }
  RECT item{};
  if (!RemoteRect(reinterpret_cast<HWND>(header), HDM_GETITEMRECT,
                  static_cast<WPARAM>(Number(options, L"column")), item)) {
    return Result(false);
  }
  return Result(PostClick(reinterpret_cast<HWND>(header), (item.left + item.right) / 2,
                          (item.top + item.bottom) / 2, false));
}

// WM_DROPFILES as the shell sends it: a DROPFILES record with wide paths,
// in the window's own process (the program releases it with DragFinish).
int Drop(const Options& options) {
  const HWND window = WindowOption(options);
  std::vector<wchar_t> paths;
  for (const wchar_t* name : {L"path", L"path2"}) {
    if (options.count(name) == 0) continue;
    const std::wstring& path = options.at(name);
    paths.insert(paths.end(), path.begin(), path.end());
    paths.push_back(L'\0');
  }
  paths.push_back(L'\0');
  DROPFILES header{};
  header.pFiles = sizeof(header);
  header.fWide = TRUE;
  std::vector<char> record(sizeof(header) + paths.size() * sizeof(wchar_t));
  std::memcpy(record.data(), &header, sizeof(header));
  std::memcpy(record.data() + sizeof(header), paths.data(), paths.size() * sizeof(wchar_t));
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  // Left in the program's process on purpose: it is the drop's memory now.
  auto* remote = new RemoteBuffer(processId, record.size());
  if (!remote->valid() || !remote->Write(0, record.data(), record.size())) return Result(false);
  return Result(::PostMessageW(window, WM_DROPFILES, static_cast<WPARAM>(remote->At(0)), 0) !=
                FALSE);
}

int Run(const std::wstring& action, const Options& options) {
  const HWND window = WindowOption(options);
  if (action == L"windows") {
    JsonWriter json;
    const std::wstring className = options.count(L"class") ? options.at(L"class") : L"";
    WriteTopLevelWindows(json, className.c_str(), static_cast<DWORD>(Number(options, L"pid")));
    return Print(json);
  }
  if (action == L"wait") return Wait(options);
  if (!::IsWindow(window)) return Result(false);
  const int id = static_cast<int>(Number(options, L"id"));
  if (action == L"report") {
    JsonWriter json;
    WriteWindowReport(json, window);
    return Print(json);
  }
  if (action == L"command") {
    return Result(::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0) != FALSE);
  }
  if (action == L"click") {
    const HWND button = ::GetDlgItem(window, id);
    return Result(button != nullptr && ::PostMessageW(button, BM_CLICK, 0, 0) != FALSE);
  }
  if (action == L"select") {
    DWORD_PTR answer = 0;
    return Result(::SendMessageTimeoutW(::GetDlgItem(window, id), CB_SETCURSEL,
                                        static_cast<WPARAM>(Number(options, L"index")), 0,
                                        SMTO_ABORTIFHUNG, 3000, &answer) != 0);
  }
  if (action == L"set-text") {
    const std::wstring text = options.count(L"text") ? options.at(L"text") : L"";
    DWORD_PTR answer = 0;
    return Result(::SendMessageTimeoutW(::GetDlgItem(window, id), WM_SETTEXT, 0,
                                        reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                        3000, &answer) != 0);
  }
  if (action == L"close") return Result(::PostMessageW(window, WM_CLOSE, 0, 0) != FALSE);
  if (action == L"mouse") return Mouse(options);
  if (action == L"dpi-changed") return DpiChanged(options);
  if (action == L"list-click") return ListClick(options);
  if (action == L"header-click") return HeaderClick(options);
  if (action == L"drop") return Drop(options);
  if (action == L"post") {
    // To a child when --id names one: keys reach the message loop as typed.
    const HWND target = options.count(L"id") ? ::GetDlgItem(window, id) : window;
    return Result(::PostMessageW(target, static_cast<UINT>(Number(options, L"message")),
                                 static_cast<WPARAM>(Number(options, L"wparam")),
                                 static_cast<LPARAM>(Number(options, L"lparam"))) != FALSE);
  }
  return kExitUsage;
}

}  // namespace
}  // namespace ombrix::ui::driver

int wmain(int argc, wchar_t** argv) {
  // Rectangles and DPIs as the program itself sees them, not scaled for a
  // DPI-unaware reader.
  ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  if (argc < 2) {
    std::fputs("usage: ombrix-ui-driver ACTION [--name value | --flag]...\n", stderr);
    return ombrix::ui::driver::kExitUsage;
  }
  ombrix::ui::driver::Options options;
  for (int i = 2; i < argc; ++i) {
    std::wstring name = argv[i];
    if (name.rfind(L"--", 0) != 0) return ombrix::ui::driver::kExitUsage;
    name.erase(0, 2);
    const bool hasValue = i + 1 < argc && std::wstring(argv[i + 1]).rfind(L"--", 0) != 0;
    options[name] = hasValue ? argv[++i] : L"";
  }
  const int code = ombrix::ui::driver::Run(argv[1], options);
  if (code == ombrix::ui::driver::kExitUsage) std::fputs("bad command line\n", stderr);
  return code;
}
