#include "ui/window/folder_choices_win.h"

#include <windows.h>

#include <shellapi.h>

#include <map>
#include <string>
#include <vector>

#include "base/win/wide_string_win.h"
#include "ui/dialogs/folder_picker_win.h"
#include "ui/saved/saved_scan_commands_win.h"
#include "ui/window/main_window_commands_win.h"
#include "ui/window/menu_bar_win.h"
#include "ui/window/recent_folders.h"
#include "ui/window/status_bar_win.h"

namespace ombrix::ui {
namespace {

bool EqualIgnoringCaseOrdinal(std::u16string_view a, std::u16string_view b) {
  return ::CompareStringOrdinal(reinterpret_cast<const wchar_t*>(a.data()), static_cast<int>(a.size()),
                                reinterpret_cast<const wchar_t*>(b.data()), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

using FolderForms = std::map<std::u16string, std::u16string>;

// The chosen folder becomes the newest recent folder once the forms of it
// and of the entries are known.
void AddToRecentFolders(MainWindowState& state, const std::u16string& folder,
                        const FolderForms& forms) {
  AddRecentFolder(state.settings.recentFolders, folder, KnownFolderForms(forms),
                  EqualIgnoringCaseOrdinal);
  const bool saved = state.settingsStore.SaveSettings(state.settings);
  RebuildRecentFoldersMenu(state);
  if (!saved) ShowNotice(state, kNoticeSaveFailed);
}

// A folder was chosen (picker, recent entry, drop): it is the selector's
// folder item at once, and the newest recent folder when the worker has
// told which entries are other spellings of it.
void UseFolder(MainWindowState& state, const std::u16string& folder) {
  state.selectedFolder = folder;
  FillSelector(state);
  SelectSelectorItem(state, kFolderSelectorIndex);
  ShowNotice(state, kNoticeFolderSelected);
  std::vector<std::u16string> paths = state.settings.recentFolders;
  paths.push_back(folder);
  AskOffWindowThread<FolderForms>(
      state,
      [paths, formOf = state.folderQueries.comparableForm] {
        FolderForms forms;
        for (const std::u16string& path : paths) forms.emplace(path, formOf(path));
        return forms;
      },
      [folder](MainWindowState& state, const FolderForms& forms) {
        AddToRecentFolders(state, folder, forms);
      });
}

// The first of the candidates that is a folder, or nothing.
std::function<std::u16string()> FirstFolderOf(MainWindowState& state,
                                              std::vector<std::u16string> candidates) {
  return [candidates = std::move(candidates), isFolder = state.folderQueries.isFolder] {
    for (const std::u16string& candidate : candidates) {
      if (!candidate.empty() && isFolder(candidate)) return candidate;
    }
    return std::u16string();
  };
}

void ShowPicker(MainWindowState& state, std::uint64_t request, const std::u16string& start) {
  // A later click asked again; a picker open already keeps its place; a
  // scan started while the worker looked does not get a dialog over it.
  if (request != state.folderPickerRequest || state.folderPickerOpen ||
      state.controller.IsScanning()) {
    return;
  }
  state.folderPickerOpen = true;
  const std::u16string chosen =
      ShowFolderPicker(state.window, state.language.Translate("dialog.folder.title"), start);
  state.folderPickerOpen = false;
  if (!chosen.empty()) UseFolder(state, chosen);
}

void UseRecentFolder(MainWindowState& state, const std::u16string& folder, FolderState found) {
  switch (found) {
    case FolderState::Folder:
      UseFolder(state, folder);
      return;
    case FolderState::Unreachable:
      ShowNotice(state, kNoticeRecentUnreachable);
      return;
    case FolderState::Missing:
      break;
  }
  // By its text: the list may have changed while the worker looked.
  std::erase(state.settings.recentFolders, folder);
  const bool saved = state.settingsStore.SaveSettings(state.settings);
  RebuildRecentFoldersMenu(state);
  ShowNotice(state, saved ? kNoticeRecentMissing : kNoticeSaveFailed);
}

}  // namespace

void PickFolder(MainWindowState& state) {
  // Opens in the selected folder when it is there, else in the first
  // recent folder that is.
  std::vector<std::u16string> candidates{state.selectedFolder};
  candidates.insert(candidates.end(), state.settings.recentFolders.begin(),
                    state.settings.recentFolders.end());
  const std::uint64_t request = ++state.folderPickerRequest;
  AskOffWindowThread<std::u16string>(
      state, FirstFolderOf(state, std::move(candidates)),
      [request](MainWindowState& state, const std::u16string& start) {
        ShowPicker(state, request, start);
      });
}

void ChooseRecentFolder(MainWindowState& state, std::size_t position) {
  if (position >= state.settings.recentFolders.size()) return;
  const std::u16string folder = state.settings.recentFolders[position];
  AskOffWindowThread<FolderState>(
      state,
      [folder, isFolder = state.folderQueries.isFolder] { return ProbeFolder(folder, isFolder); },
      [folder](MainWindowState& state, const FolderState& found) {
        UseRecentFolder(state, folder, found);
      });
}

void OnDropFiles(MainWindowState& state, const DropFilesMessage& drop) {
  std::vector<std::u16string> dropped;
  const UINT count = ::DragQueryFileW(drop.drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    const UINT length = ::DragQueryFileW(drop.drop, index, nullptr, 0);
    std::u16string path(length + 1, u'\0');
    const UINT copied = ::DragQueryFileW(drop.drop, index, base::WritableWide(path), length + 1);
    path.resize(copied);
    dropped.push_back(std::move(path));
  }
  ::DragFinish(drop.drop);
  if (OpenDroppedScanFile(state, dropped)) return;
  AskOffWindowThread<std::u16string>(
      state, FirstFolderOf(state, std::move(dropped)),
      [](MainWindowState& state, const std::u16string& folder) {
        if (folder.empty()) {
          ShowNotice(state, kNoticeDropFolder);
        } else {
          UseFolder(state, folder);
        }
      });
}

}  // namespace ombrix::ui
