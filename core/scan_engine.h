#pragma once

#include <string>

#include "core/scan_model.h"

namespace ombrix::core {

// A scanning technique. Scan never throws for file-system errors: they
// become issues or a Failed status. It polls the token and, once it is set,
// returns what it has with status Cancelled; it sets `engine` to its kind.
class IScanEngine {
 public:
  virtual ~IScanEngine() = default;
  virtual ScanResult Scan(const std::u16string& path, ScanCancellationToken& token,
                          const ProgressCallback& progress) = 0;
};

}  // namespace ombrix::core
