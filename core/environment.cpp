// The native build's environment. Windows reads its own (wide) environment
// in environment_win.cpp: the C runtime's narrow copy misses changes made
// with SetEnvironmentVariableW.
#ifndef _WIN32

#include <cstdlib>

#include "core/environment.h"
#include "core/text_encoding.h"

namespace ombrix::core {

std::optional<std::u16string> ReadEnvironmentVariable(const std::u16string& name) {
  const char* value = std::getenv(ToUtf8(name).c_str());
  if (value == nullptr) {
    return std::nullopt;
  }
  return FromUtf8(value);
}

}  // namespace ombrix::core

#endif
