// The engine that reads an NTFS volume's master file table directly and
// rebuilds the scan path's tree in memory, instead of asking the file system
// about every folder. Raw volume access needs administrator rights, so on a
// live volume it is usable only in an elevated process; through an image
// reader it runs anywhere.
//
// Scan runs on the caller's thread and owns every buffer and handle it uses;
// the engine keeps only the worker setting. Failures to read the volume
// come back as a Failed result with one of the fixed messages below and
// write no trace; running out of memory is std::bad_alloc, thrown on the
// scan thread (never out of a decoding worker) for the scan's owner.
#pragma once

#include <cstdint>
#include <string>

#include "core/mft/volume_reader.h"
#include "core/scan_engine.h"
#include "core/scan_model.h"

namespace ombrix::core {

inline constexpr char16_t kMftNotAvailableMessage[] =
    u"NTFS MFT scan is not available for this path.";
inline constexpr char16_t kMftVolumeOpenMessage[] = u"NTFS volume could not be opened.";
inline constexpr char16_t kMftVolumeQueryMessage[] = u"NTFS volume data could not be queried.";
inline constexpr char16_t kMftVolumeUnusableMessage[] = u"NTFS volume data is not usable.";
inline constexpr char16_t kMftRootMessage[] = u"Root file reference number could not be resolved.";
inline constexpr char16_t kMftRunListMessage[] = u"MFT run list could not be read.";
inline constexpr char16_t kMftEnumerateMessage[] = u"MFT records could not be enumerated.";

// Entries reserved up front, at most (about 300 MB of entries).
inline constexpr std::uint64_t kMaxReservedMftEntries = 4194304;

class NtfsMftScanEngine : public IScanEngine {
 public:
  // threadsPerDrive: 0 picks the decoding worker count automatically.
  explicit NtfsMftScanEngine(std::uint64_t threadsPerDrive);
  ~NtfsMftScanEngine() override = default;

  ScanResult Scan(const std::u16string& path, ScanCancellationToken& token,
                  const ProgressCallback& progress) override;

 private:
  std::uint64_t threadsPerDrive_;
};

// The whole scan over any volume reader: a live volume, an image file, a
// test's fake. path is the scan root in the reader's terms.
ScanResult ScanNtfsVolume(IVolumeReader& volume, const std::u16string& path,
                          std::uint64_t workerSetting, ScanCancellationToken& token,
                          const ProgressCallback& progress);

}  // namespace ombrix::core
