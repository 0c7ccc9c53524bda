// One move-only owner per Win32 handle kind, so every handle is released on
// every way out of the function that acquired it.
#pragma once

#include <windows.h>

#include <utility>

namespace ombrix::core {

template <typename Traits>
class UniqueWinHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueWinHandle() = default;
  explicit UniqueWinHandle(Handle handle) : handle_(handle) {}
  ~UniqueWinHandle() { reset(); }
  UniqueWinHandle(UniqueWinHandle&& other) noexcept : handle_(other.release()) {}
  UniqueWinHandle& operator=(UniqueWinHandle&& other) noexcept {
    if (this != &other) {
      reset(other.release());
    }
    return *this;
  }
  UniqueWinHandle(const UniqueWinHandle&) = delete;
  UniqueWinHandle& operator=(const UniqueWinHandle&) = delete;

  Handle get() const { return handle_; }
  bool valid() const { return handle_ != Traits::Invalid(); }
  explicit operator bool() const { return valid(); }

  Handle release() { return std::exchange(handle_, Traits::Invalid()); }
  void reset(Handle handle = Traits::Invalid()) {
    if (valid()) {
      Traits::Close(handle_);
    }
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

// CreateFileW returns INVALID_HANDLE_VALUE on failure; null never names a
// file either, so both count as "no handle".
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) {
    if (h != nullptr) ::CloseHandle(h);
  }
};

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::FindClose(h); }
};

using UniqueHandle = UniqueWinHandle<KernelHandleTraits>;
using UniqueFindHandle = UniqueWinHandle<FindHandleTraits>;

}  // namespace ombrix::core
