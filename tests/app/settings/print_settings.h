// Readable test failures for records that differ.
#pragma once

#include <ostream>

#include "app/settings/app_settings.h"
#include "base/text_encoding.h"

namespace ombrix::app {

inline void PrintTo(const AppSettings& s, std::ostream* out) {
  *out << "{appVersion=" << base::ToUtf8(s.appVersion) << " language=" << base::ToUtf8(s.language)
       << " theme=" << base::ToUtf8(s.theme) << " recentFolders=[";
  for (const std::u16string& folder : s.recentFolders) *out << base::ToUtf8(folder) << ";";
  *out << "] threads=" << s.threadsPerDrive << "/" << s.maxThreadsPerDrive
       << " prompt=" << s.showAdminPromptOnStartup << " suppress=" << s.suppressAdminPrompt
       << " alwaysAdmin=" << s.alwaysStartAsAdministrator << "}";
}

}  // namespace ombrix::app
