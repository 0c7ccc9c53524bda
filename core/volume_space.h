// Where a drive's used space went, for a scan of a whole drive (or an
// image): the volume's own figures beside what the scan found on it, and
// the difference split into what can be named. Users ask first why the
// scanned total is not the drive's used space; these are the answers.
#pragma once

#include <cstdint>

namespace ombrix::core {

struct VolumeSpace {
  std::uint64_t volumeSize = 0;
  std::uint64_t usedSpace = 0;
  std::uint64_t freeSpace = 0;
  std::uint64_t filesOnDisk = 0;  // the root's size on disk, every file's clusters once
  // NTFS structures the scan shows as no file (folders' indexes; the
  // metadata files too when a directory listing hides them and it could be
  // asked).
  std::uint64_t metadata = 0;
  // When folders could not be read, what the difference left must be in
  // them, or so the scan cannot tell otherwise; 0 when every folder was read.
  std::uint64_t unreadable = 0;
  std::uint64_t unexplained = 0;  // the rest of the difference
};

// The breakdown from the volume's figures and what the scan found.
// Saturating: a scan can find more than the volume counts as used (files
// written meanwhile, or a volume that counts differently).
VolumeSpace DescribeSpace(std::uint64_t volumeSize, std::uint64_t usedSpace,
                          std::uint64_t filesOnDisk, std::uint64_t metadata,
                          bool someFoldersUnreadable);

// The figures of two volumes together (every field summed, saturating).
VolumeSpace AddSpaces(const VolumeSpace& a, const VolumeSpace& b);

}  // namespace ombrix::core
