// ombrix-scan --types and --find: the file types below the ranked node and
// the files there that match, computed on the result in memory as the
// window computes them, and their sections of the report: "types" and
// "found" in the JSON object, "File types" and "Found" in the summary.
#pragma once

#include <cstdint>
#include <optional>

#include "app/find/file_types.h"
#include "app/find/find_files.h"
#include "tools/ombrix_scan/buffered_output.h"
#include "tools/ombrix_scan/scan_request.h"

namespace ombrix::scan_tool {

struct FindSections {
  core::SizeBasis basis = core::SizeBasis::Logical;
  std::optional<app::FileTypeBreakdown> types;  // with --types
  std::optional<app::FileMatches> found;        // with --find, the --top largest listed
};

// Nothing for a request without --types or --find.
FindSections MakeFindSections(const ScanRequest& request, const core::ScanResult& result,
                              std::uint64_t ranked, core::SizeBasis basis);

// ,"types":[...] (every type) and ,"found":[...] with "foundCount" and
// "foundSize", for the sections present.
void WriteJsonFindSections(BufferedOutput& out, const core::ScanNodes& nodes,
                           const FindSections& sections);

// The summary's sections, types and found files alike cut at topCount.
void WriteTextFindSections(BufferedOutput& out, const core::ScanNodes& nodes,
                           const FindSections& sections, std::uint64_t topCount);

}  // namespace ombrix::scan_tool
