// The native build's environment. Windows reads its own (wide) environment
// in environment_win.cpp: the C runtime's narrow copy misses changes made
// with SetEnvironmentVariableW.
#include <cstdlib>

#include "base/environment.h"
#include "base/text_encoding.h"

namespace ombrix::base {

std::optional<std::u16string> ReadEnvironmentVariable(const std::u16string& name) {
  const char* value = std::getenv(ToUtf8(name).c_str());
  if (value == nullptr) {
    return std::nullopt;
  }
  return FromUtf8(value);
}

}  // namespace ombrix::base
