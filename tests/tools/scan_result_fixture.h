// Small hand-made scan results for the ombrix-scan tests.
#pragma once

#include <cstdint>
#include <string>

#include "core/scan_model.h"
#include "core/scan_tree_builder.h"

namespace ombrix::scan_tool::testing {

// Root R with files a (10), b (30) and folder S; S holds c (30) and folder
// T; T holds d (5). Two files of 30 bytes test the ordering of ties. On
// disk: a 16, b and c are names of one file of 32 (counted once), d is a
// placeholder with nothing stored, so the root holds 48 and S 32. The scan
// was of a drive: 1000 bytes, 600 used.
inline core::ScanResult SmallTree(core::ScanStatus status = core::ScanStatus::Completed) {
  core::ScanTreeBuilder builder;
  const std::u16string root = u"Z:\\R";
  const auto r = builder.AddRoot(u"R", root, 0x10, 0);
  builder.AddFile(r, u"a", 0x20, 10, 0, 16);
  const auto b = builder.AddFile(r, u"b", 0x20, 30, 0, 32);
  builder.SetFileIdentity(b, 7, 2);
  const auto s = builder.AddDirectory(r, u"S", 0x10, 0);
  const auto c = builder.AddFile(s, u"c", 0x20, 30, 0, 32);
  builder.SetFileIdentity(c, 7, 2);
  const auto t = builder.AddDirectory(s, u"T", 0x10, 0);
  builder.nodes.MarkPlaceholder(builder.AddFile(t, u"d", 0x20, 5, 0, 0));
  builder.AddIssue(u"Z:\\R\\locked", 5);
  builder.ComputeTotals();
  core::ScanResult result = builder.BuildResult(status, root, 42);
  result.engine = core::ScanEngineKind::DirectoryWalk;
  result.space = core::DescribeSpace(1000, 600, result.nodes.SizeOnDisk(result.rootIndex), 20, false);
  return result;
}

}  // namespace ombrix::scan_tool::testing
