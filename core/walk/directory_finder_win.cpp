#include "core/walk/directory_finder_win.h"

#include <windows.h>

#include <utility>

#include "base/win/disk_space_win.h"
#include "base/win/extended_path_win.h"
#include "base/win/file_time_win.h"
#include "base/win/unique_handle_win.h"
#include "base/win/volume_path_win.h"
#include "base/win/wide_string_win.h"
#include "core/path_attributes_win.h"

namespace ombrix::core {
namespace {

class Win32Enumeration final : public IDirectoryEnumeration {
 public:
  Win32Enumeration(base::UniqueFindHandle handle, const WIN32_FIND_DATAW& first)
      : handle_(std::move(handle)), data_(first) {}

  bool Next(FoundEntry& entry) override {
    if (holdsUnreadEntry_) {
      holdsUnreadEntry_ = false;
    } else if (!::FindNextFileW(handle_.get(), &data_)) {
      return false;
    }
    entry.name = base::FromWide(data_.cFileName);
    entry.attributes = data_.dwFileAttributes;
    entry.size = (std::uint64_t{data_.nFileSizeHigh} << 32) | data_.nFileSizeLow;
    entry.lastWriteTime = base::FileTimeValue(data_.ftLastWriteTime);
    // WIN32_FIND_DATAW documents dwReserved0 as the reparse tag of a
    // reparse point.
    entry.reparseTag =
        (data_.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? data_.dwReserved0 : 0;
    return true;
  }

 private:
  base::UniqueFindHandle handle_;
  WIN32_FIND_DATAW data_;
  // FindFirstFileExW already delivered the first entry.
  bool holdsUnreadEntry_ = true;
};

class Win32DirectoryFinder final : public IDirectoryFinder {
 public:
  std::optional<PathAttributes> GetPathAttributes(const std::u16string& path) override {
    return ReadPathAttributes(path);
  }

  std::u16string SystemPath(const std::u16string& root) override {
    return base::SystemRootPath(root);
  }

  std::uint64_t ClusterLength(const std::u16string& path) override {
    const std::optional<std::u16string> volume = base::QueryVolumePathName(path);
    const std::optional<base::DiskSpace> space = base::QueryDiskSpace(volume.value_or(path));
    return space ? space->clusterLength : 0;
  }

  EnumerationOpenResult OpenEnumeration(const std::u16string& pattern) override {
    WIN32_FIND_DATAW data{};
    // FindExInfoBasic leaves out the 8.3 names nobody shows; the large fetch
    // lets each directory read return many entries at once.
    base::UniqueFindHandle handle(::FindFirstFileExW(base::WideView(pattern), FindExInfoBasic,
                                                     &data, FindExSearchNameMatch, nullptr,
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

}  // namespace ombrix::core
