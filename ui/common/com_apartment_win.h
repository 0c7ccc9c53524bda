// COM for this thread, undone only when this object did it: a thread
// already initialised in the other apartment model (RPC_E_CHANGED_MODE) can
// still use COM objects but must not be uninitialised here.
#pragma once

#include <windows.h>

#include <objbase.h>

namespace ombrix::ui {

class ComApartment {
 public:
  ComApartment()
      : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

}  // namespace ombrix::ui
