#include "ui/common/theme_functions_win.h"

namespace ombrix::ui {
namespace {

template <typename Function>
Function Resolve(const wchar_t* dll, const char* name) {
  // The module stays loaded for the life of the process: the functions are
  // used until the last window is gone.
  const HMODULE module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

ThemeFunctions ResolveThemeFunctions() {
  ThemeFunctions functions;
  functions.setWindowAttribute =
      Resolve<SetWindowAttributeFunction>(L"dwmapi.dll", "DwmSetWindowAttribute");
  functions.setWindowTheme = Resolve<SetWindowThemeFunction>(L"uxtheme.dll", "SetWindowTheme");
  return functions;
}

}  // namespace

const ThemeFunctions& SystemThemeFunctions() {
  static const ThemeFunctions functions = ResolveThemeFunctions();
  return functions;
}

}  // namespace ombrix::ui
