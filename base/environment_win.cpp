#include <windows.h>

#include <vector>

#include "base/environment.h"
#include "base/win/wide_string_win.h"

namespace ombrix::base {

std::optional<std::u16string> ReadEnvironmentVariable(const std::u16string& name) {
  std::vector<wchar_t> buffer(64);
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length =
        ::GetEnvironmentVariableW(WideView(name), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      // An existing but empty variable also returns 0, without an error.
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::u16string();
    }
    if (length < buffer.size()) {
      return FromWide(buffer.data(), length);
    }
    buffer.resize(length);
  }
}

}  // namespace ombrix::base
