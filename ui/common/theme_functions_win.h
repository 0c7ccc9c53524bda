// The two visual-style calls the themes need, looked up at run time so the
// executable imports nothing beyond the DLLs Windows always loads from
// System32 (dwmapi and uxtheme are not KnownDLLs; a static import would be
// searched for beside the executable first). Resolved once per process; a
// member is null when its DLL or export is missing, and callers treat that
// like a failed call.
#pragma once

#include <windows.h>

namespace ombrix::ui {

// DwmSetWindowAttribute: learn.microsoft.com, "DwmSetWindowAttribute
// function (dwmapi.h)".
using SetWindowAttributeFunction = HRESULT(WINAPI*)(HWND window, DWORD attribute, LPCVOID value,
                                                    DWORD valueSize);
// SetWindowTheme: learn.microsoft.com, "SetWindowTheme function (uxtheme.h)".
using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND window, LPCWSTR subAppName, LPCWSTR subIdList);

struct ThemeFunctions {
  SetWindowAttributeFunction setWindowAttribute = nullptr;
  SetWindowThemeFunction setWindowTheme = nullptr;
};

const ThemeFunctions& SystemThemeFunctions();

}  // namespace ombrix::ui
