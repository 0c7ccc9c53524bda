#include "tests/support/fake_scan_engine.h"

#include <string>

#include "base/text_encoding.h"
#include "core/scan_paths.h"
#include "core/scan_tree_builder.h"

namespace ombrix::test {

core::ScanResult FakeTree(const std::u16string& path, core::ScanEngineKind kind,
                          const std::vector<std::uint64_t>& fileSizes,
                          const core::ProgressCallback& progress, core::ScanStatus status) {
  core::ScanTreeBuilder builder;
  const std::u16string rootPath = core::TrimTrailingSeparators(path);
  const auto root =
      builder.AddRoot(core::LeafName(rootPath), rootPath, core::kAttributeDirectory, 0);
  const auto sub = builder.AddDirectory(root, u"sub", core::kAttributeDirectory, 0);
  core::ScanProgress report;
  report.foldersScanned = 2;
  for (std::size_t i = 0; i < fileSizes.size(); ++i) {
    const auto parent = i == 0 ? sub : root;
    const std::u16string name = u"f" + base::FromUtf8(std::to_string(i));
    builder.AddFile(parent, name, 0x20, fileSizes[i], 0);
    report.currentPath = builder.nodes.Path(builder.nodes.size() - 1);
    report.filesScanned = i + 1;
    if (progress) progress(report);
  }
  builder.AddIssue(core::JoinPath(rootPath, u"locked"), 5);
  builder.ComputeTotals();
  core::ScanResult result = builder.BuildResult(status, rootPath, 1234);
  result.engine = kind;
  return result;
}

core::ScanResult FailedScan(const std::u16string& path, core::ScanEngineKind kind) {
  core::ScanResult result;
  result.status = core::ScanStatus::Failed;
  result.engine = kind;
  result.rootPath = core::TrimTrailingSeparators(path);
  result.message = u"The volume cannot be read.";
  return result;
}

}  // namespace ombrix::test
