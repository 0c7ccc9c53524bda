// The scheduler's seam to the machine: how engines are made and the three
// questions it asks before choosing the MFT engine for a path. The real
// table (SystemScanPlatform) wires the engines and the Win32 calls; tests
// hand in fakes so the choice and fall-back logic runs everywhere.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/disk_space.h"

#include "core/scan_engine.h"
#include "core/scan_options.h"

namespace ombrix::core {

struct ScanEngineFactories {
  std::function<std::unique_ptr<IScanEngine>()> makeDirectoryWalk;
  std::function<std::unique_ptr<IScanEngine>(std::uint64_t threadsPerDrive)> makeNtQueryDirectory;
  std::function<std::unique_ptr<IScanEngine>(std::uint64_t threadsPerDrive)> makeNtfsMft;
};

// A missing function counts as "no": a table without an MFT factory never
// tries the MFT engine.
struct ScanPlatform {
  ScanEngineFactories engines;
  std::function<bool(const std::u16string& path)> isVolumeRoot;
  std::function<bool()> isProcessElevated;
  std::function<bool(const std::u16string& path)> isNtfsMftScanAvailable;
  // The size and free space of the volume a path is on.
  std::function<std::optional<base::DiskSpace>(const std::u16string& path)> queryVolumeSpace;
};

// The engine an explicit choice forces on every path: none for Automatic
// (the scheduler chooses per path), the directory walk for any value it
// does not know.
std::unique_ptr<IScanEngine> MakeForcedEngine(ScanEngineChoice choice,
                                              std::uint64_t threadsPerDrive,
                                              const ScanEngineFactories& engines);

}  // namespace ombrix::core
