#include "ui/common/local_file_time_win.h"

#include <windows.h>

namespace ombrix::ui {
namespace {

FILETIME ToFileTime(std::uint64_t time) {
  return FILETIME{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
}

std::uint64_t FromFileTime(const FILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

}  // namespace

std::uint64_t LocalFromUtcFileTime(std::uint64_t utc) {
  const FILETIME in = ToFileTime(utc);
  FILETIME out{};
  return ::FileTimeToLocalFileTime(&in, &out) ? FromFileTime(out) : utc;
}

std::uint64_t UtcFromLocalFileTime(std::uint64_t local) {
  const FILETIME in = ToFileTime(local);
  FILETIME out{};
  return ::LocalFileTimeToFileTime(&in, &out) ? FromFileTime(out) : local;
}

}  // namespace ombrix::ui
