// Any bytes as an ncdu JSON export. Reading must not crash; a tree that
// opens must export and open again to the same tree: the same names, the
// same sizes on both bases, the same issues.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/ncdu/ncdu_export.h"
#include "app/ncdu/ncdu_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ombrix::app;
  const OpenedScan imported =
      ImportNcduExport(std::string_view(reinterpret_cast<const char*>(data), size));
  if (imported.error != SavedScanError::None || !imported.result) {
    if (imported.result) std::abort();
    return 0;
  }
  const ombrix::core::ScanResult& result = *imported.result;
  const OpenedScan again =
      ImportNcduExport(WriteNcduExport(result, result.nodes.size(), 1'700'000'000));
  if (!again.result || again.result->nodes.size() != result.nodes.size() ||
      again.result->issues.size() != result.issues.size()) {
    std::abort();
  }
  for (std::uint64_t i = 0; i < result.nodes.size(); ++i) {
    if (again.result->nodes.Name(i) != result.nodes.Name(i) ||
        again.result->nodes.TotalSize(i) != result.nodes.TotalSize(i) ||
        again.result->nodes.SizeOnDisk(i) != result.nodes.SizeOnDisk(i) ||
        again.result->nodes.IsDirectory(i) != result.nodes.IsDirectory(i)) {
      std::abort();
    }
  }
  return 0;
}
