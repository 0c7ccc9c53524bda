#include "app/settings/app_settings.h"

#include <algorithm>

namespace ombrix::app {

std::uint32_t HardwareThreadsFrom(unsigned reported) {
  return reported == 0 ? 4 : static_cast<std::uint32_t>(reported);
}

void NormalizeSettings(AppSettings& settings, std::uint32_t hardwareThreads) {
  if (settings.threadsPerDrive == 0 || settings.threadsPerDrive > hardwareThreads) {
    settings.threadsPerDrive = std::min(hardwareThreads, kDefaultThreadsPerDriveCap);
  }
  settings.maxThreadsPerDrive = hardwareThreads;
}

AppSettings DefaultSettings(std::uint32_t hardwareThreads) {
  AppSettings settings;
  settings.threadsPerDrive = std::min(hardwareThreads, kDefaultThreadsPerDriveCap);
  settings.maxThreadsPerDrive = hardwareThreads;
  return settings;
}

}  // namespace ombrix::app
