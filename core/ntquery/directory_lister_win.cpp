#include <windows.h>

#include "base/win/extended_path_win.h"
#include "base/win/ntdll_functions_win.h"
#include "base/win/unique_handle_win.h"
#include "base/win/wide_string_win.h"
#include "core/ntquery/directory_entries.h"
#include "core/ntquery/directory_lister.h"
#include "core/path_attributes_win.h"

namespace ombrix::core {
namespace {

class NtDirectoryHandle final : public IDirectoryHandle {
 public:
  NtDirectoryHandle(base::UniqueHandle handle, base::NtQueryDirectoryFileFunction query)
      : handle_(std::move(handle)), query_(query) {}

  DirectoryBatch QueryNext(std::uint8_t* buffer, std::size_t bufferLength,
                           bool restartScan) override {
    base::NtIoStatusBlock ioStatus{};
    const LONG status =
        query_(handle_.get(), nullptr, nullptr, nullptr, &ioStatus, buffer,
               static_cast<ULONG>(bufferLength), file_id_both_dir_information::kInformationClass,
               FALSE, nullptr, restartScan ? TRUE : FALSE);
    return DirectoryBatch{static_cast<NtStatus>(status),
                          static_cast<std::size_t>(ioStatus.Information)};
  }

 private:
  base::UniqueHandle handle_;
  base::NtQueryDirectoryFileFunction query_;
};

class Win32DirectoryLister final : public IDirectoryLister {
 public:
  bool HasQueryCall() const override { return base::Ntdll().queryDirectoryFile != nullptr; }

  std::optional<PathAttributes> ReadAttributes(const std::u16string& path) const override {
    return ReadPathAttributes(path);
  }

  std::u16string SystemPath(const std::u16string& root) const override {
    return base::SystemRootPath(root);
  }

  DirectoryOpenResult OpenDirectory(const std::u16string& path) const override {
    // Backup semantics is what lets CreateFileW open a directory at all;
    // sharing everything keeps the scan from blocking other programs.
    base::UniqueHandle handle(::CreateFileW(base::WideView(path), FILE_LIST_DIRECTORY,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                            nullptr));
    if (!handle) {
      return DirectoryOpenResult{nullptr, static_cast<std::uint32_t>(::GetLastError())};
    }
    return DirectoryOpenResult{
        std::make_unique<NtDirectoryHandle>(std::move(handle), base::Ntdll().queryDirectoryFile),
        0};
  }

  std::optional<std::uint32_t> MapStatus(NtStatus status) const override {
    const base::RtlNtStatusToDosErrorFunction map = base::Ntdll().statusToDosError;
    if (map == nullptr) return std::nullopt;
    return static_cast<std::uint32_t>(map(static_cast<LONG>(status)));
  }
};

}  // namespace

std::shared_ptr<const IDirectoryLister> MakeSystemDirectoryLister() {
  return std::make_shared<Win32DirectoryLister>();
}

}  // namespace ombrix::core
