// ombrix-scan writes UTF-8 bytes. On Windows the C runtime would otherwise
// turn "\n" into "\r\n" inside the JSON and the console would show UTF-8 in
// the OEM code page.
#pragma once

#include <string_view>

namespace ombrix::scan_tool {

// Lives for the whole program: sets the streams up before anything is
// written and gives the console its code page back afterwards.
class StandardStreamsScope {
 public:
  StandardStreamsScope();
  ~StandardStreamsScope();
  StandardStreamsScope(const StandardStreamsScope&) = delete;
  StandardStreamsScope& operator=(const StandardStreamsScope&) = delete;

 private:
  [[maybe_unused]] unsigned previousCodePage_ = 0;  // Windows only
};

void WriteToStdout(std::string_view bytes);
void WriteToStderr(std::string_view bytes);

}  // namespace ombrix::scan_tool
