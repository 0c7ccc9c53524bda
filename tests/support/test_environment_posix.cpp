#include <cstdlib>

#include "tests/support/test_environment.h"

namespace ombrix::test {

void SetEnvironmentVariableForTest(const char* name, const char* value) {
  if (value == nullptr) {
    unsetenv(name);
  } else {
    setenv(name, value, 1);
  }
}

}  // namespace ombrix::test
