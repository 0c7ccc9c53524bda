#pragma once

namespace ombrix::core {

// Whether the process token is an enabled member of the built-in
// Administrators group. An administrator running with a filtered
// (non-elevated) token gets false, as does any failure to ask.
bool IsProcessElevated();

}  // namespace ombrix::core
