// Memory inside another process. The common controls' messages that fill
// a structure (LVM_GETITEMTEXTW, HDM_GETITEMW, SB_GETTEXTW) are not copied
// across processes by the system, so the structure and its text buffer
// must live in the control's own process.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/win/unique_handle_win.h"

namespace ombrix::ui::driver {

class RemoteBuffer {
 public:
  RemoteBuffer(DWORD processId, std::size_t size)
      : process_(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               processId)),
        size_(size) {
    if (process_) {
      address_ =
          ::VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
  }
  ~RemoteBuffer() {
    if (address_ != nullptr) ::VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool valid() const { return address_ != nullptr; }
  // The remote address of byte `offset`, as a message parameter.
  LPARAM At(std::size_t offset) const {
    return reinterpret_cast<LPARAM>(static_cast<char*>(address_) + offset);
  }
  bool Write(std::size_t offset, const void* data, std::size_t length) const {
    return offset + length <= size_ &&
           ::WriteProcessMemory(process_.get(), static_cast<char*>(address_) + offset, data, length,
                                nullptr);
  }
  bool Read(std::size_t offset, void* data, std::size_t length) const {
    return offset + length <= size_ &&
           ::ReadProcessMemory(process_.get(), static_cast<char*>(address_) + offset, data, length,
                               nullptr);
  }

 private:
  base::UniqueHandle process_;
  std::size_t size_;
  void* address_ = nullptr;
};

}  // namespace ombrix::ui::driver
