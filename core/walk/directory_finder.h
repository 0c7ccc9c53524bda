// The few find calls the directory walk makes, behind a thin seam. The
// Win32 version (directory_finder_win.cpp) serves every real scan; tests
// put a fake in its place to show the walk what Wine never produces
// (junctions, folders that deny access) and trees deeper than a disk holds.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/path_attributes.h"

namespace ombrix::core {

struct FoundEntry {
  std::u16string name;
  std::uint32_t attributes = 0;     // Win32 file attribute bits
  std::uint64_t size = 0;           // logical end-of-file size
  std::uint64_t lastWriteTime = 0;  // FILETIME
  std::uint32_t reparseTag = 0;     // 0 unless a reparse point
};

// One open enumeration of a folder; destroying it closes the find handle.
class IDirectoryEnumeration {
 public:
  virtual ~IDirectoryEnumeration() = default;
  // Fills entry with the next entry, the first one included. False at the
  // end of the folder and on any failure to read further: both end the
  // folder the same way, so they are not told apart.
  virtual bool Next(FoundEntry& entry) = 0;
};

struct EnumerationOpenResult {
  std::unique_ptr<IDirectoryEnumeration> enumeration;  // null on failure
  std::uint32_t errorCode = 0;  // the Win32 error code when enumeration is null
};

class IDirectoryFinder {
 public:
  virtual ~IDirectoryFinder() = default;
  // Attributes and last-write time of a file or folder; nothing when the
  // path cannot be queried.
  virtual std::optional<PathAttributes> GetPathAttributes(const std::u16string& path) = 0;
  // The scan root as the finder wants to be asked about it and the paths
  // below it: the walk appends listed names to it unchanged. Windows gets
  // the extended-length form (\\?\C:\...), so that a name with a trailing
  // dot or space, or one such as CON, reaches the file system as listed
  // instead of being rewritten by the classic path parser.
  virtual std::u16string SystemPath(const std::u16string& root) { return root; }
  // The cluster length of the volume holding path; 0 when unknown. The find
  // data carries no allocation, so the walk counts a file's size on disk as
  // its size rounded up to whole clusters: right for most files, too much
  // for sparse, compressed and MFT-resident ones (the directory-query
  // engine reads the real allocation).
  virtual std::uint64_t ClusterLength(const std::u16string& /*path*/) { return 0; }
  // Starts enumerating the entries matching pattern (a folder's system path
  // followed by "\*").
  virtual EnumerationOpenResult OpenEnumeration(const std::u16string& pattern) = 0;
};

}  // namespace ombrix::core
