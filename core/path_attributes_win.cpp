#include "core/path_attributes_win.h"

#include <windows.h>

#include "base/win/extended_path_win.h"
#include "base/win/file_time_win.h"
#include "base/win/wide_string_win.h"

namespace ombrix::core {

std::optional<PathAttributes> ReadPathAttributes(const std::u16string& path) {
  const std::u16string systemPath = base::ExtendedLengthPath(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(base::WideView(systemPath), GetFileExInfoStandard, &data)) {
    return std::nullopt;
  }
  return PathAttributes{data.dwFileAttributes, base::FileTimeValue(data.ftLastWriteTime)};
}

}  // namespace ombrix::core
