// The seam between the directory-query engine and the operating system:
// exactly the calls a test must replace to produce what a real file system
// will not (access denied, a listing failing part-way, a missing ntdll
// export, junctions). The Windows implementation is in
// directory_lister_win.cpp; tests use in-memory fakes.
//
// Implementations are called from several worker threads at once; a handle
// is used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/path_attributes.h"

namespace ombrix::core {

// NTSTATUS as an unsigned 32-bit value; the high bit marks errors and
// warnings.
using NtStatus = std::uint32_t;

inline constexpr NtStatus kStatusSuccess = 0x00000000;
inline constexpr NtStatus kStatusNoMoreFiles = 0x80000006;
inline constexpr NtStatus kStatusNoSuchFile = 0xC000000F;

inline bool IsFailingStatus(NtStatus status) { return (status & 0x80000000u) != 0; }

struct DirectoryBatch {
  NtStatus status = kStatusSuccess;
  std::size_t bytesReturned = 0;  // IO_STATUS_BLOCK.Information
};

// An open directory. Closed when destroyed.
class IDirectoryHandle {
 public:
  virtual ~IDirectoryHandle() = default;
  // The next batch of FILE_ID_BOTH_DIR_INFORMATION records; restartScan is
  // true for the first call on the handle.
  virtual DirectoryBatch QueryNext(std::uint8_t* buffer, std::size_t bufferLength,
                                   bool restartScan) = 0;
};

struct DirectoryOpenResult {
  std::unique_ptr<IDirectoryHandle> handle;  // null on failure
  std::uint32_t errorCode = 0;               // Win32 error when handle is null
};

class IDirectoryLister {
 public:
  virtual ~IDirectoryLister() = default;

  // False when the directory-query call cannot be used at all (the ntdll
  // export is missing, or the platform has none).
  virtual bool HasQueryCall() const = 0;

  // Attributes and last-write time of the scanned path; nullopt when they
  // cannot be read.
  virtual std::optional<PathAttributes> ReadAttributes(const std::u16string& path) const = 0;

  // The scan root as the lister wants to be asked about it and the folders
  // below it: the engine appends listed names to it unchanged. Windows gets
  // the extended-length form (\\?\C:\...), so that a name with a trailing
  // dot or space, or one such as CON, reaches the file system as listed
  // instead of being rewritten by the classic path parser.
  virtual std::u16string SystemPath(const std::u16string& root) const { return root; }

  // Opens a folder by its system path.
  virtual DirectoryOpenResult OpenDirectory(const std::u16string& path) const = 0;

  // The Win32 error for a failing status; nullopt when no mapper exists.
  virtual std::optional<std::uint32_t> MapStatus(NtStatus status) const = 0;
};

// The operating system's lister. Outside Windows there is no native
// directory-query call: the lister reports it missing, so a scan yields the
// root and one issue with code 127.
std::shared_ptr<const IDirectoryLister> MakeSystemDirectoryLister();

}  // namespace ombrix::core
