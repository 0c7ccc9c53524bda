// The Win32 error codes the scan code records or tests for itself. They
// are plain numbers in ScanIssue, so neutral code names them here instead
// of including the Windows headers.
#pragma once

#include <cstdint>

namespace ombrix::base {

inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidData = 13;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorProcNotFound = 127;

}  // namespace ombrix::base
