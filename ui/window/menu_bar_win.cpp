#include "ui/window/menu_bar_win.h"

#include <windows.h>

#include <vector>

#include "base/win/unique_handle_win.h"
#include "base/win/wide_string_win.h"
#include "ui/window/menu_bar_model.h"

namespace ombrix::ui {
namespace {

void AppendEntries(HMENU menu, const std::vector<MenuEntry>& entries, MainWindowState& state) {
  for (const MenuEntry& entry : entries) {
    switch (entry.kind) {
      case MenuEntry::Kind::Separator:
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuEntry::Kind::Command:
        ::AppendMenuW(
            menu, MF_STRING | (entry.checked ? MF_CHECKED : 0) | (entry.disabled ? MF_GRAYED : 0),
            static_cast<UINT_PTR>(entry.id), base::WideView(entry.text));
        break;
      case MenuEntry::Kind::Submenu: {
        base::UniqueMenu submenu(::CreatePopupMenu());
        if (!submenu) break;
        AppendEntries(submenu.get(), entry.items, state);
        if (entry.recentFolders) state.recentFoldersMenu = submenu.get();
        // Once appended, the submenu belongs to its parent.
        if (::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()),
                          base::WideView(entry.text))) {
          submenu.release();
        } else if (entry.recentFolders) {
          state.recentFoldersMenu = nullptr;
        }
        break;
      }
    }
  }
}

}  // namespace

void RebuildRecentFoldersMenu(MainWindowState& state) {
  const HMENU menu = state.recentFoldersMenu;
  if (menu == nullptr) return;
  while (::GetMenuItemCount(menu) > 0) ::DeleteMenu(menu, 0, MF_BYPOSITION);
  AppendEntries(menu, RecentFolderEntries(state.language, state.settings.recentFolders), state);
  ::DrawMenuBar(state.window);
}

void InstallMenuBar(MainWindowState& state) {
  base::UniqueMenu bar(::CreateMenu());
  if (!bar) return;
  const HMENU oldRecentFolders = state.recentFoldersMenu;
  state.recentFoldersMenu = nullptr;
  AppendEntries(bar.get(), MenuBarModel(state.language, state.settings, state.find.typesShown), state);
  base::UniqueMenu old(::GetMenu(state.window));
  if (::SetMenu(state.window, bar.get())) {
    bar.release();
  } else {
    old.release();  // still the window's
    state.recentFoldersMenu = oldRecentFolders;
  }
}

}  // namespace ombrix::ui
