// Small hand-made scan results for the ombrix-scan tests.
#pragma once

#include <cstdint>
#include <string>

#include "core/scan_model.h"
#include "core/scan_tree_builder.h"

namespace ombrix::scan_tool::testing {

// Root R with files a (10), b (30) and folder S; S holds c (30) and folder
// T; T holds d (5). Two files of 30 bytes test the ordering of ties.
inline core::ScanResult SmallTree(core::ScanStatus status = core::ScanStatus::Completed) {
  core::ScanTreeBuilder builder;
  const std::u16string root = u"Z:\\R";
  const auto r = builder.AddRoot(u"R", root, 0x10, 0);
  builder.AddFile(r, u"a", 0x20, 10, 0);
  builder.AddFile(r, u"b", 0x20, 30, 0);
  const auto s = builder.AddDirectory(r, u"S", 0x10, 0);
  builder.AddFile(s, u"c", 0x20, 30, 0);
  const auto t = builder.AddDirectory(s, u"T", 0x10, 0);
  builder.AddFile(t, u"d", 0x20, 5, 0);
  builder.AddIssue(u"Z:\\R\\locked", 5);
  builder.ComputeTotals();
  core::ScanResult result = builder.BuildResult(status, root, 42);
  result.engine = core::ScanEngineKind::DirectoryWalk;
  return result;
}

}  // namespace ombrix::scan_tool::testing
