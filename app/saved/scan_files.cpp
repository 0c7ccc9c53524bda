#include "app/saved/scan_files.h"

#include <new>
#include <utility>

#include "app/ncdu/ncdu_export.h"
#include "app/ncdu/ncdu_import.h"
#include "app/saved/saved_scan_reader.h"
#include "app/saved/saved_scan_writer.h"
#include "app/saved/zstd_frame.h"
#include "app/settings/replacing_write.h"

namespace ombrix::app {

OpenedScan ReadScanBytes(std::string_view bytes) {
  if (HasSavedScanMagic(bytes)) {
    return DecodeSavedScan(bytes);
  }
  if (LooksLikeNcduExport(bytes)) {
    return ImportNcduExport(bytes);
  }
  return OpenedScan{std::nullopt, SavedScanError::NotAScan};
}

OpenedScan OpenScanFile(const SettingsFiles& files, const std::u16string& path) {
  try {
    std::string bytes;
    if (!files.readFile(path, bytes)) return OpenedScan{std::nullopt, SavedScanError::Unreadable};
    return ReadScanBytes(bytes);
  } catch (const std::bad_alloc&) {
    return OpenedScan{std::nullopt, SavedScanError::OutOfMemory};
  }
}

bool SaveScanFile(const SettingsFiles& files, const std::u16string& path,
                  const core::ScanResult& result, std::uint64_t nodeCount) {
  try {
    const std::optional<std::string> bytes =
        EncodeSavedScan(result, nodeCount, kSavedScanCompressionLevel);
    return bytes && WriteReplacing(files, path, *bytes);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool ExportNcduFile(const SettingsFiles& files, const std::u16string& path,
                    const core::ScanResult& result, std::uint64_t nodeCount,
                    std::uint64_t timestampSeconds) {
  try {
    return WriteReplacing(files, path, WriteNcduExport(result, nodeCount, timestampSeconds));
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace ombrix::app
