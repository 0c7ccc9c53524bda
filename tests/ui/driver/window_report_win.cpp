#include "tests/ui/driver/window_report_win.h"

#include <windows.h>

#include <algorithm>
#include <commctrl.h>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "base/win/wide_string_win.h"
#include "tests/ui/driver/remote_buffer_win.h"

namespace ombrix::ui::driver {
namespace {

// A hung window must fail the test, not hang it.
constexpr UINT kMessageTimeoutMs = 3000;
constexpr int kMaxText = 4096;

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

std::u16string ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return base::FromWide(name);
}

// WM_GETTEXT is copied across processes by the system.
std::u16string TextOf(HWND window) {
  std::vector<wchar_t> buffer(kMaxText, L'\0');
  const LRESULT length =
      Ask(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  if (length <= 0) return {};
  return base::FromWide(buffer.data(), static_cast<std::size_t>(length));
}

void WriteRect(JsonWriter& json, const char* key, const RECT& rect) {
  json.Key(key).BeginArray();
  json.Number(rect.left);
  json.Number(rect.top);
  json.Number(rect.right - rect.left);
  json.Number(rect.bottom - rect.top);
  json.EndArray();
}

// A common-control text that the control writes into a buffer of ours:
// `structure` (with its text pointer at `textPointerOffset`) is copied
// into the control's process, followed by room for the text.
std::u16string RemoteText(HWND control, UINT message, WPARAM wParam, const void* structure,
                          std::size_t structureSize, std::size_t textPointerOffset) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(control, &processId);
  const std::size_t textOffset = (structureSize + 15) / 16 * 16;
  RemoteBuffer remote(processId, textOffset + kMaxText * sizeof(wchar_t));
  if (!remote.valid()) return u"<no remote buffer>";
  std::vector<char> local(static_cast<const char*>(structure),
                          static_cast<const char*>(structure) + structureSize);
  if (structureSize > 0) {
    const LPARAM textAddress = remote.At(textOffset);
    std::memcpy(local.data() + textPointerOffset, &textAddress, sizeof(textAddress));
    remote.Write(0, local.data(), local.size());
  }
  const wchar_t nothing = L'\0';
  remote.Write(textOffset, &nothing, sizeof(nothing));
  const LPARAM lParam = structureSize > 0 ? remote.At(0) : remote.At(textOffset);
  if (Ask(control, message, wParam, lParam) < 0) return u"<no answer>";
  std::vector<wchar_t> text(kMaxText, L'\0');
  remote.Read(textOffset, text.data(), (kMaxText - 1) * sizeof(wchar_t));
  return base::FromWide(text.data());
}

void WriteListView(JsonWriter& json, HWND list) {
  json.Key("backgroundColour").Number(static_cast<COLORREF>(Ask(list, LVM_GETBKCOLOR)));
  json.Key("textColour").Number(static_cast<COLORREF>(Ask(list, LVM_GETTEXTCOLOR)));
  json.Key("textBackgroundColour").Number(static_cast<COLORREF>(Ask(list, LVM_GETTEXTBKCOLOR)));
  json.Key("listExStyle").Number(Ask(list, LVM_GETEXTENDEDLISTVIEWSTYLE));
  const HWND header = reinterpret_cast<HWND>(Ask(list, LVM_GETHEADER));
  const int columnCount = header != nullptr ? static_cast<int>(Ask(header, HDM_GETITEMCOUNT)) : 0;
  json.Key("columns").BeginArray();
  for (int column = 0; column < columnCount; ++column) {
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.cchTextMax = kMaxText;
    json.String(
        RemoteText(header, HDM_GETITEMW, column, &item, sizeof(item), offsetof(HDITEMW, pszText)));
  }
  json.EndArray();
  // A column of no width is out of the user's sight.
  json.Key("widths").BeginArray();
  for (int column = 0; column < columnCount; ++column) {
    json.Number(Ask(list, LVM_GETCOLUMNWIDTH, column));
  }
  json.EndArray();
  const int rowCount = static_cast<int>(Ask(list, LVM_GETITEMCOUNT));
  json.Key("rows").BeginArray();
  for (int row = 0; row < rowCount; ++row) {
    json.BeginArray();
    for (int column = 0; column < std::max(columnCount, 1); ++column) {
      LVITEMW item{};
      item.iSubItem = column;
      item.cchTextMax = kMaxText;
      json.String(
          RemoteText(list, LVM_GETITEMTEXTW, row, &item, sizeof(item), offsetof(LVITEMW, pszText)));
    }
    json.EndArray();
  }
  json.EndArray();
}

void WriteComboBox(JsonWriter& json, HWND combo) {
  json.Key("selection").Number(Ask(combo, CB_GETCURSEL));
  json.Key("items").BeginArray();
  const LRESULT count = Ask(combo, CB_GETCOUNT);
  for (LRESULT index = 0; index < count; ++index) {
    std::vector<wchar_t> buffer(kMaxText, L'\0');
    const LRESULT length = Ask(combo, CB_GETLBTEXTLEN, index);
    if (length >= 0 && length < kMaxText) {
      Ask(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    }
    json.String(base::FromWide(buffer.data()));
  }
  json.EndArray();
}

void WriteControl(JsonWriter& json, HWND top, HWND control) {
  const std::u16string className = ClassOf(control);
  json.BeginObject();
  json.Key("id").Number(::GetDlgCtrlID(control));
  json.Key("class").String(className);
  json.Key("text").String(TextOf(control));
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&rect), 2);
  WriteRect(json, "rect", rect);
  json.Key("visible").Bool(::IsWindowVisible(control) != FALSE);
  json.Key("enabled").Bool(::IsWindowEnabled(control) != FALSE);
  json.Key("style").Number(static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE)));
  json.Key("exStyle").Number(static_cast<DWORD>(::GetWindowLongW(control, GWL_EXSTYLE)));
  if (className == u"Button") {
    json.Key("checked").Number(Ask(control, BM_GETCHECK));
  } else if (className == u"ComboBox") {
    WriteComboBox(json, control);
  } else if (className == u"SysListView32") {
    WriteListView(json, control);
  } else if (className == u"msctls_statusbar32") {
    json.Key("statusText").String(RemoteText(control, SB_GETTEXTW, 0, nullptr, 0, 0));
  }
  json.EndObject();
}

struct ChildList {
  std::vector<HWND> children;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<ChildList*>(list)->children.push_back(child);
  return TRUE;
}

void WriteMenu(JsonWriter& json, HMENU menu, int depth) {
  json.BeginArray();
  const int count = ::GetMenuItemCount(menu);
  for (int index = 0; index < count; ++index) {
    wchar_t text[512] = {};
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE;
    item.dwTypeData = text;
    item.cch = 511;
    if (!::GetMenuItemInfoW(menu, index, TRUE, &item)) continue;
    json.BeginObject();
    json.Key("text").String(base::FromWide(text));
    json.Key("id").Number(item.hSubMenu != nullptr ? -1 : static_cast<int>(item.wID));
    json.Key("separator").Bool((item.fType & MFT_SEPARATOR) != 0);
    json.Key("checked").Bool((item.fState & MFS_CHECKED) != 0);
    json.Key("disabled").Bool((item.fState & MFS_DISABLED) != 0);
    if (item.hSubMenu != nullptr && depth < 3) {
      json.Key("items");
      WriteMenu(json, item.hSubMenu, depth + 1);
    }
    json.EndObject();
  }
  json.EndArray();
}

void WriteWindowSummary(JsonWriter& json, HWND window) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  json.Key("hwnd").Number(reinterpret_cast<std::intptr_t>(window));
  json.Key("pid").Number(processId);
  json.Key("class").String(ClassOf(window));
  json.Key("title").String(TextOf(window));
  RECT rect{};
  ::GetWindowRect(window, &rect);
  WriteRect(json, "rect", rect);
  RECT client{};
  ::GetClientRect(window, &client);
  WriteRect(json, "client", client);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  json.Key("clientOrigin").BeginArray();
  json.Number(origin.x);
  json.Number(origin.y);
  json.EndArray();
  json.Key("dpi").Number(::GetDpiForWindow(window));
  json.Key("enabled").Bool(::IsWindowEnabled(window) != FALSE);
  json.Key("owner").Number(reinterpret_cast<std::intptr_t>(::GetWindow(window, GW_OWNER)));
}

struct TopLevelQuery {
  const wchar_t* className;
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM parameter) {
  auto* query = reinterpret_cast<TopLevelQuery*>(parameter);
  if (!::IsWindowVisible(window)) return TRUE;
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (query->processId != 0 && processId != query->processId) return TRUE;
  if (query->className[0] != L'\0' && ClassOf(window) != base::FromWide(query->className)) {
    return TRUE;
  }
  query->found.push_back(window);
  return TRUE;
}

}  // namespace

void WriteWindowReport(JsonWriter& json, HWND window) {
  json.BeginObject();
  WriteWindowSummary(json, window);
  ChildList list;
  ::EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&list));
  json.Key("children").BeginArray();
  for (HWND child : list.children) WriteControl(json, window, child);
  json.EndArray();
  const HMENU menu = ::GetMenu(window);
  json.Key("menu");
  if (menu != nullptr) {
    WriteMenu(json, menu, 0);
  } else {
    json.BeginArray();
    json.EndArray();
  }
  json.EndObject();
}

void WriteTopLevelWindows(JsonWriter& json, const wchar_t* className, DWORD processId) {
  TopLevelQuery query{className, processId, {}};
  ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&query));
  json.BeginArray();
  for (HWND window : query.found) {
    json.BeginObject();
    WriteWindowSummary(json, window);
    json.EndObject();
  }
  json.EndArray();
}

}  // namespace ombrix::ui::driver
