// Files whose data is not on this disk: cloud placeholders (OneDrive and
// the other cloud-files providers) and offline files. They are never
// opened, so nothing is downloaded; their size on disk is what is stored.
#pragma once

#include <cstdint>

namespace ombrix::core {

inline constexpr std::uint32_t kAttributeOffline = 0x1000;
inline constexpr std::uint32_t kAttributeRecallOnOpen = 0x40000;
inline constexpr std::uint32_t kAttributeRecallOnDataAccess = 0x400000;

// IO_REPARSE_TAG_CLOUD and IO_REPARSE_TAG_CLOUD_1 ... _F: 0x9000?01A, the
// nibble a provider's own number (ntifs.h).
inline constexpr std::uint32_t kCloudReparseTagMask = 0xFFFF0FFF;
inline constexpr std::uint32_t kCloudReparseTag = 0x9000001A;
// IO_REPARSE_TAG_WOF: a file compressed by the Windows overlay filter,
// whose data lies in its WofCompressedData stream.
inline constexpr std::uint32_t kWofReparseTag = 0x80000017;

// reparseTag: 0 when the file is no reparse point or its tag is unknown.
inline bool IsPlaceholder(std::uint32_t attributes, std::uint32_t reparseTag) {
  if ((attributes & (kAttributeOffline | kAttributeRecallOnOpen | kAttributeRecallOnDataAccess)) !=
      0) {
    return true;
  }
  return (reparseTag & kCloudReparseTagMask) == kCloudReparseTag;
}

// A placeholder whose data is certainly elsewhere (not recalled): it takes
// no clusters, whatever its size says.
inline bool DataIsElsewhere(std::uint32_t attributes) {
  return (attributes & (kAttributeOffline | kAttributeRecallOnDataAccess)) != 0;
}

}  // namespace ombrix::core
