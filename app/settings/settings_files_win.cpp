// Every path goes to the system through ExtendedLengthPath: a settings
// folder deeper than MAX_PATH (a portable copy in a deep folder) must still
// load and save.
#include <windows.h>

#include <limits>
#include <string>
#include <vector>

#include "app/settings/settings_files.h"
#include "app/settings/settings_paths.h"
#include "base/win/extended_path_win.h"
#include "base/win/file_time_win.h"
#include "base/win/unique_handle_win.h"
#include "base/win/wide_string_win.h"

namespace ombrix::app {
namespace {

std::u16string SystemPath(const std::u16string& path) { return base::ExtendedLengthPath(path); }

bool ReadWholeFile(const std::u16string& path, std::string& bytes) {
  // Sharing delete as well lets another instance replace the file while
  // this one reads it.
  base::UniqueHandle file(::CreateFileW(base::WideView(SystemPath(path)), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    return false;
  }
  std::string content;
  char chunk[64 * 1024];
  for (;;) {
    DWORD count = 0;
    if (!::ReadFile(file.get(), chunk, sizeof chunk, &count, nullptr)) {
      return false;
    }
    if (count == 0) {
      break;
    }
    content.append(chunk, count);
  }
  bytes = std::move(content);
  return true;
}

bool IsFolder(const std::u16string& systemPath) {
  const DWORD attributes = ::GetFileAttributesW(base::WideView(systemPath));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// CreateDirectoryW makes one level; the missing ancestors are made first,
// from the top down, only when the system says the parent is missing.
bool CreateFolderWithAncestors(const std::u16string& folder) {
  const std::u16string systemPath = base::ExtendedLengthFolderPath(folder);
  if (IsFolder(systemPath) || ::CreateDirectoryW(base::WideView(systemPath), nullptr)) {
    return true;
  }
  const DWORD error = ::GetLastError();
  if (error == ERROR_ALREADY_EXISTS) {
    // Made by someone else meanwhile, or a file in the folder's place.
    return IsFolder(systemPath);
  }
  if (error != ERROR_PATH_NOT_FOUND) {
    return false;
  }
  const std::u16string parent = ParentFolder(folder);
  if (parent.empty() || parent == folder || !CreateFolderWithAncestors(parent)) {
    return false;
  }
  return ::CreateDirectoryW(base::WideView(systemPath), nullptr) || IsFolder(systemPath);
}

bool WriteFlushed(const std::u16string& path, std::string_view bytes) {
  if (bytes.size() > std::numeric_limits<DWORD>::max()) {
    return false;
  }
  base::UniqueHandle file(::CreateFileW(base::WideView(SystemPath(path)), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    return false;
  }
  DWORD written = 0;
  if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    return false;
  }
  return ::FlushFileBuffers(file.get()) && ::CloseHandle(file.release());
}

bool ReplaceInOneStep(const std::u16string& source, const std::u16string& target) {
  return ::MoveFileExW(base::WideView(SystemPath(source)), base::WideView(SystemPath(target)),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

void RemoveFile(const std::u16string& path) { ::DeleteFileW(base::WideView(SystemPath(path))); }

bool ListFiles(const std::u16string& folder, std::vector<FolderFile>& files) {
  const std::u16string pattern = base::ExtendedLengthPath(AppendPathComponent(folder, u"*"));
  WIN32_FIND_DATAW entry{};
  base::UniqueFindHandle listing(::FindFirstFileExW(base::WideView(pattern), FindExInfoBasic, &entry,
                                                    FindExSearchNameMatch, nullptr, 0));
  if (!listing) {
    // An empty folder still has "." and "..", so nothing found means no
    // folder.
    return false;
  }
  std::vector<FolderFile> found;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    found.push_back({base::FromWide(entry.cFileName),
                     (std::uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow,
                     base::FileTimeValue(entry.ftLastWriteTime)});
  } while (::FindNextFileW(listing.get(), &entry));
  if (::GetLastError() != ERROR_NO_MORE_FILES) return false;
  files = std::move(found);
  return true;
}

}  // namespace

SettingsFiles SystemSettingsFiles() {
  SettingsFiles files;
  files.readFile = ReadWholeFile;
  files.createFolders = CreateFolderWithAncestors;
  files.writeFile = WriteFlushed;
  files.replaceFile = ReplaceInOneStep;
  files.removeFile = RemoveFile;
  files.listFolder = ListFiles;
  files.processId = static_cast<std::uint32_t>(::GetCurrentProcessId());
  return files;
}

}  // namespace ombrix::app
