// Raw reading of a live NTFS volume through its device (\\.\X:). Opening
// the device needs administrator rights, which makes the availability test
// double as the rights test.
//
// Which volumes are read at all is decided in volume_path_rules.h.
#include "core/mft/volume_reader_win.h"

#include <windows.h>

#include <array>
#include <optional>
#include <winioctl.h>

#include "base/win/extended_path_win.h"
#include "base/win/unique_handle_win.h"
#include "base/win/volume_path_win.h"
#include "base/win/wide_string_win.h"
#include "core/mft/mft_record.h"
#include "core/mft/volume_path_rules.h"
#include "core/mft/volume_reader.h"
#include "core/path_attributes_win.h"

namespace ombrix::core {

namespace {

constexpr DWORD kPathBufferLength = MAX_PATH;  // 260 characters
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// FSCTL_GET_NTFS_VOLUME_DATA fills NTFS_VOLUME_DATA_BUFFER: 96 bytes.
constexpr std::size_t kNtfsVolumeDataLength = 96;
static_assert(sizeof(NTFS_VOLUME_DATA_BUFFER) == kNtfsVolumeDataLength);

bool IsNtfs(const std::u16string& volumePath) {
  std::array<wchar_t, kPathBufferLength> fileSystem{};
  if (!::GetVolumeInformationW(base::WideView(volumePath), nullptr, 0, nullptr, nullptr, nullptr,
                               fileSystem.data(), kPathBufferLength)) {
    return false;
  }
  return ::CompareStringOrdinal(fileSystem.data(), -1, L"NTFS", -1, TRUE) == CSTR_EQUAL;
}

// The volume path of path and what the MFT engine makes of it.
VolumeOpenResult ClassifyVolumeOf(const std::u16string& path, std::u16string& volumePath) {
  const std::optional<std::u16string> found = base::QueryVolumePathName(path);
  const VolumeOpenResult verdict = ClassifyVolumePath(found, found && IsNtfs(*found));
  if (found) volumePath = *found;
  return verdict;
}

base::UniqueHandle OpenVolumeDevice(const std::u16string& volumePath) {
  std::u16string device = u"\\\\.\\";
  device.push_back(volumePath[0]);
  device.push_back(u':');
  return base::UniqueHandle(::CreateFileW(base::WideView(device), GENERIC_READ, kShareAll, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

class Win32VolumeReader final : public IVolumeReader {
 public:
  VolumeOpenResult Open(const std::u16string& path) override {
    std::u16string volumePath;
    const VolumeOpenResult verdict = ClassifyVolumeOf(path, volumePath);
    if (verdict != VolumeOpenResult::Opened) {
      return verdict;
    }
    volume_ = OpenVolumeDevice(volumePath);
    return volume_ ? VolumeOpenResult::Opened : VolumeOpenResult::OpenFailed;
  }

  bool QueryGeometry(NtfsVolumeGeometry& geometry) override {
    NTFS_VOLUME_DATA_BUFFER data{};
    DWORD returned = 0;
    if (!::DeviceIoControl(volume_.get(), FSCTL_GET_NTFS_VOLUME_DATA, nullptr, 0, &data,
                           sizeof(data), &returned, nullptr)) {
      return false;
    }
    geometry.bytesPerSector = data.BytesPerSector;
    geometry.bytesPerCluster = data.BytesPerCluster;
    geometry.bytesPerFileRecordSegment = data.BytesPerFileRecordSegment;
    geometry.mftStartLcn = data.MftStartLcn.QuadPart;
    geometry.totalClusters =
        data.TotalClusters.QuadPart > 0 ? static_cast<std::uint64_t>(data.TotalClusters.QuadPart) : 0;
    if (data.FreeClusters.QuadPart >= 0) {
      geometry.freeClusters = static_cast<std::uint64_t>(data.FreeClusters.QuadPart);
    }
    return true;
  }

  bool ResolveRoot(const std::u16string& path, ScanRootLocation& root) override {
    // Backup semantics let directories open; only attributes are asked.
    base::UniqueHandle handle(::CreateFileW(base::WideView(base::SystemRootPath(path)),
                                            FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) {
      return false;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle.get(), &information)) {
      return false;
    }
    const std::uint64_t fileIndex =
        (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    root.recordNumber = fileIndex & kMftReferenceMask;
    root.namesBelow.clear();
    return true;
  }

  bool ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::uint32_t length,
              std::uint32_t& bytesRead) override {
    bytesRead = 0;
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (offset > static_cast<std::uint64_t>(INT64_MAX) ||
        !::SetFilePointerEx(volume_.get(), position, nullptr, FILE_BEGIN)) {
      return false;
    }
    DWORD read = 0;
    if (!::ReadFile(volume_.get(), buffer, length, &read, nullptr)) {
      return false;
    }
    bytesRead = read;
    return true;
  }

  std::optional<PathAttributes> RootAttributes(const std::u16string& path) override {
    return ReadPathAttributes(path);
  }

 private:
  base::UniqueHandle volume_;
};

}  // namespace

std::unique_ptr<IVolumeReader> MakeLiveVolumeReader() {
  return std::make_unique<Win32VolumeReader>();
}

bool IsNtfsMftScanAvailable(const std::u16string& path) {
  std::u16string volumePath;
  return ClassifyVolumeOf(path, volumePath) == VolumeOpenResult::Opened &&
         OpenVolumeDevice(volumePath).valid();
}

}  // namespace ombrix::core
