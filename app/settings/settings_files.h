// The file operations behind the settings store, one function each, so a
// test can make any step fail. SystemSettingsFiles gives the real ones
// (settings_files_win.cpp on Windows, where paths of any length work;
// settings_files_posix.cpp natively).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::app {

struct FolderFile {
  std::u16string name;
  std::uint64_t byteSize = 0;
  // A FILETIME (UTC, 100 ns units since 1601) on every platform.
  std::uint64_t lastWriteTime = 0;
};

struct SettingsFiles {
  // The whole file as bytes; false when it cannot be opened or read
  // (missing, a folder, locked).
  std::function<bool(const std::u16string& path, std::string& bytes)> readFile;
  // The folder and every missing ancestor; an existing folder is success,
  // an existing file in its place is failure.
  std::function<bool(const std::u16string& folder)> createFolders;
  // Creates or truncates path, writes all of bytes and flushes them to the
  // disk before closing; true only when every step succeeded.
  std::function<bool(const std::u16string& path, std::string_view bytes)> writeFile;
  // Puts source in target's place in one step, replacing target if it
  // exists; on failure target is as it was.
  std::function<bool(const std::u16string& source, const std::u16string& target)> replaceFile;
  std::function<void(const std::u16string& path)> removeFile;
  // The files directly in folder (no folders), in no particular order;
  // false when the folder cannot be listed (missing, a file, denied).
  std::function<bool(const std::u16string& folder, std::vector<FolderFile>& files)> listFolder;
  // Tells this process's temporary file from one of another instance
  // saving at the same moment.
  std::uint32_t processId = 0;
};

SettingsFiles SystemSettingsFiles();

}  // namespace ombrix::app
