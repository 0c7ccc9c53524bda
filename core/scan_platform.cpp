#include "core/scan_platform.h"

namespace ombrix::core {

std::unique_ptr<IScanEngine> MakeForcedEngine(ScanEngineChoice choice,
                                              std::uint64_t threadsPerDrive,
                                              const ScanEngineFactories& engines) {
  switch (choice) {
    case ScanEngineChoice::Automatic:
      return nullptr;
    case ScanEngineChoice::NtQueryDirectory:
      return engines.makeNtQueryDirectory ? engines.makeNtQueryDirectory(threadsPerDrive) : nullptr;
    case ScanEngineChoice::NtfsMft:
      return engines.makeNtfsMft ? engines.makeNtfsMft(threadsPerDrive) : nullptr;
    case ScanEngineChoice::DirectoryWalk:
      break;
  }
  return engines.makeDirectoryWalk ? engines.makeDirectoryWalk() : nullptr;
}

}  // namespace ombrix::core
