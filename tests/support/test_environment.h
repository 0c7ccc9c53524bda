#pragma once

namespace ombrix::test {

// Sets (or, for a null value, removes) a variable of this process's
// environment, where the program under test reads it.
void SetEnvironmentVariableForTest(const char* name, const char* value);

}  // namespace ombrix::test
