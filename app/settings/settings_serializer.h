// The settings file's text. Its layout is fixed to the byte (CR LF line
// ends, two-space and four-space indents) so that a file written by any
// version of the program reads the same.
#pragma once

#include <string>

#include "app/settings/app_settings.h"

namespace ombrix::app {

// UTF-8 bytes; unpaired surrogates are written as U+FFFD. Only the escapes
// the reader understands are used, never "\u": other control bytes and all
// non-ASCII bytes go out raw.
std::string SerializeSettings(const AppSettings& settings);

}  // namespace ombrix::app
