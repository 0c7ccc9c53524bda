// Whether two results hold the same scan, node by node and field by field:
// what a saved scan, opened again, must give back.
#pragma once

#include <string>
#include <vector>

#include "core/scan_model.h"

namespace ombrix::test {

// Readable lines naming the first differences (at most a screenful);
// empty when the results are the same.
std::vector<std::string> ResultDifferences(const core::ScanResult& expected,
                                           const core::ScanResult& actual);

// A result with every kind of node a scan can hold: folders and files,
// names of one byte a unit and of two, an unpaired surrogate, names of one
// file (hard links), a cloud placeholder, a folder's own entry size, a
// drive root under a label keeping its own path, issues, the volume's
// space, the scan's date.
core::ScanResult EveryKindOfNode();

}  // namespace ombrix::test
