// Reading the process environment the same way on every platform: the
// value as UTF-16, or nothing when the variable does not exist.
#pragma once

#include <optional>
#include <string>

namespace ombrix::base {

std::optional<std::u16string> ReadEnvironmentVariable(const std::u16string& name);

}  // namespace ombrix::base
