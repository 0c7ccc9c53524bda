// Scan engines made up for tests of the code that chooses and combines
// engines: each runs a given body, and FakeTree builds a small tree the way
// a real engine would (builder, totals, progress per file).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/scan_engine.h"
#include "core/scan_model.h"

namespace ombrix::test {

class FakeScanEngine : public core::IScanEngine {
 public:
  using Body =
      std::function<core::ScanResult(const std::u16string& path, core::ScanCancellationToken& token,
                                     const core::ProgressCallback& progress)>;
  explicit FakeScanEngine(Body body) : body_(std::move(body)) {}

  core::ScanResult Scan(const std::u16string& path, core::ScanCancellationToken& token,
                        const core::ProgressCallback& progress) override {
    return body_(path, token, progress);
  }

 private:
  Body body_;
};

// A folder `path` holding a sub-folder "sub" with the first file and the
// root with the rest; files are named f0, f1, ... and sized by fileSizes.
// One progress report per file, counting from zero.
core::ScanResult FakeTree(const std::u16string& path, core::ScanEngineKind kind,
                          const std::vector<std::uint64_t>& fileSizes,
                          const core::ProgressCallback& progress,
                          core::ScanStatus status = core::ScanStatus::Completed);

// What the MFT engine returns when it cannot read a volume.
core::ScanResult FailedScan(const std::u16string& path, core::ScanEngineKind kind);

}  // namespace ombrix::test
