#include <windows.h>

#include <string>

#include "base/text_encoding.h"
#include "base/win/wide_string_win.h"
#include "tests/support/test_environment.h"

namespace ombrix::test {

void SetEnvironmentVariableForTest(const char* name, const char* value) {
  // The program reads the wide environment (GetEnvironmentVariableW), so
  // that is the one to change.
  const std::u16string wideName = base::FromUtf8(name);
  if (value == nullptr) {
    ::SetEnvironmentVariableW(base::WideView(wideName), nullptr);
  } else {
    ::SetEnvironmentVariableW(base::WideView(wideName), base::WideView(base::FromUtf8(value)));
  }
}

}  // namespace ombrix::test
