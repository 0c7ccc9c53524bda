#include "base/win/volume_path_win.h"

#include <windows.h>

#include <algorithm>

#include "base/win/wide_string_win.h"

namespace ombrix::base {

std::optional<std::u16string> QueryVolumePathName(const std::u16string& path) {
  // The answer is never longer than the path it was asked about, plus a
  // separator; MAX_PATH covers every short path.
  std::u16string volumePath(std::max<std::size_t>(path.size() + 2, MAX_PATH), u'\0');
  if (!::GetVolumePathNameW(WideView(path), WritableWide(volumePath),
                            static_cast<DWORD>(volumePath.size()))) {
    return std::nullopt;
  }
  volumePath.resize(std::char_traits<char16_t>::length(volumePath.c_str()));
  if (volumePath.empty()) return std::nullopt;
  return volumePath;
}

}  // namespace ombrix::base
