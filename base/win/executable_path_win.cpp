#include "base/win/executable_path_win.h"

#include <windows.h>

#include "base/win/wide_string_win.h"

namespace ombrix::base {

std::u16string GetExecutablePath() {
  // A truncated result fills the buffer exactly, so grow until it doesn't.
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, WritableWide(path), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace ombrix::base
