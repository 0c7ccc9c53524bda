#include "base/win/dll_search_win.h"

#include <windows.h>

namespace ombrix::base {

void RestrictDllSearchToSystem32() {
  // Nothing to fall back to when it fails (before Windows 8 without
  // KB2533623): the program runs on, as it did before the call existed.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace ombrix::base
