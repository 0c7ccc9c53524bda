#include "core/directory_finder_win.h"

#include <windows.h>

#include <utility>

#include "core/wide_string_win.h"
#include "core/win_handles_win.h"

namespace ombrix::core {
namespace {

std::uint64_t FileTimeValue(const FILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

bool StartsWith(const std::u16string& text, std::u16string_view prefix) {
  return std::u16string_view(text).substr(0, prefix.size()) == prefix;
}

class Win32Enumeration final : public IDirectoryEnumeration {
 public:
  Win32Enumeration(UniqueFindHandle handle, const WIN32_FIND_DATAW& first)
      : handle_(std::move(handle)), data_(first) {}

  bool Next(FoundEntry& entry) override {
    if (holdsUnreadEntry_) {
      holdsUnreadEntry_ = false;
    } else if (!::FindNextFileW(handle_.get(), &data_)) {
      return false;
    }
    entry.name = FromWide(data_.cFileName);
    entry.attributes = data_.dwFileAttributes;
    entry.size = (std::uint64_t{data_.nFileSizeHigh} << 32) | data_.nFileSizeLow;
    entry.lastWriteTime = FileTimeValue(data_.ftLastWriteTime);
    return true;
  }

 private:
  UniqueFindHandle handle_;
  WIN32_FIND_DATAW data_;
  // FindFirstFileExW already delivered the first entry.
  bool holdsUnreadEntry_ = true;
};

class Win32DirectoryFinder final : public IDirectoryFinder {
 public:
  std::optional<PathAttributes> GetPathAttributes(const std::u16string& path) override {
    const std::u16string systemPath = ExtendedLengthPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(WideView(systemPath), GetFileExInfoStandard, &data)) {
      return std::nullopt;
    }
    return PathAttributes{data.dwFileAttributes, FileTimeValue(data.ftLastWriteTime)};
  }

  EnumerationOpenResult OpenEnumeration(const std::u16string& pattern) override {
    const std::u16string systemPattern = ExtendedLengthPath(pattern);
    WIN32_FIND_DATAW data{};
    // FindExInfoBasic leaves out the 8.3 names nobody shows; the large fetch
    // lets each directory read return many entries at once.
    UniqueFindHandle handle(::FindFirstFileExW(WideView(systemPattern), FindExInfoBasic, &data,
                                               FindExSearchNameMatch, nullptr,
                                               FIND_FIRST_EX_LARGE_FETCH));
    if (!handle) {
      return EnumerationOpenResult{nullptr, static_cast<std::uint32_t>(::GetLastError())};
    }
    return EnumerationOpenResult{std::make_unique<Win32Enumeration>(std::move(handle), data), 0};
  }
};

}  // namespace

IDirectoryFinder& SystemDirectoryFinder() {
  static Win32DirectoryFinder finder;
  return finder;
}

std::u16string ExtendedLengthPath(const std::u16string& path) {
  if (path.size() < MAX_PATH || StartsWith(path, u"\\\\?\\") || StartsWith(path, u"\\\\.\\") ||
      StartsWith(path, u"\\??\\")) {
    return path;
  }
  const DWORD needed = ::GetFullPathNameW(WideView(path), 0, nullptr, nullptr);
  if (needed == 0) {
    return path;
  }
  std::u16string full(needed, u'\0');
  const DWORD written =
      ::GetFullPathNameW(WideView(path), needed, reinterpret_cast<wchar_t*>(full.data()), nullptr);
  if (written == 0 || written >= needed) {
    return path;
  }
  full.resize(written);
  if (StartsWith(full, u"\\\\")) {
    return u"\\\\?\\UNC\\" + full.substr(2);
  }
  if (full.size() >= 3 && full[1] == u':' && full[2] == u'\\') {
    return u"\\\\?\\" + full;
  }
  return path;
}

}  // namespace ombrix::core
