#include "base/win/executable_path_win.h"

#include <windows.h>

#include "base/growing_buffer.h"
#include "base/win/wide_string_win.h"

namespace ombrix::base {

std::u16string GetExecutablePath() {
  return ReadIntoGrowingBuffer([](std::u16string& buffer) {
    return static_cast<std::uint32_t>(
        ::GetModuleFileNameW(nullptr, WritableWide(buffer), static_cast<DWORD>(buffer.size())));
  });
}

}  // namespace ombrix::base
