#include "base/win/ntdll_functions_win.h"

namespace ombrix::base {
namespace {

template <typename Function>
Function Resolve(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // GetProcAddress returns a generic FARPROC; the prototype comes from the
  // documentation quoted in the header.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

NtdllFunctions ResolveNtdll() {
  // ntdll is mapped into every process, so GetModuleHandleW suffices and no
  // reference has to be released.
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  NtdllFunctions functions;
  functions.queryDirectoryFile =
      Resolve<NtQueryDirectoryFileFunction>(ntdll, "NtQueryDirectoryFile");
  functions.statusToDosError =
      Resolve<RtlNtStatusToDosErrorFunction>(ntdll, "RtlNtStatusToDosError");
  functions.setPlaceholderCompatibilityMode =
      Resolve<RtlSetProcessPlaceholderCompatibilityModeFunction>(
          ntdll, "RtlSetProcessPlaceholderCompatibilityMode");
  return functions;
}

}  // namespace

const NtdllFunctions& Ntdll() {
  static const NtdllFunctions functions = ResolveNtdll();
  return functions;
}

bool ExposePlaceholders(const NtdllFunctions& functions) {
  return functions.setPlaceholderCompatibilityMode != nullptr &&
         functions.setPlaceholderCompatibilityMode(kPlaceholdersExposed) >= 0;
}

}  // namespace ombrix::base
