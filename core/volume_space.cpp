#include "core/volume_space.h"

#include <algorithm>

#include "base/checked_math.h"

namespace ombrix::core {

VolumeSpace DescribeSpace(std::uint64_t volumeSize, std::uint64_t usedSpace,
                          std::uint64_t filesOnDisk, std::uint64_t metadata,
                          bool someFoldersUnreadable) {
  VolumeSpace space;
  space.volumeSize = volumeSize;
  space.usedSpace = std::min(usedSpace, volumeSize);
  space.freeSpace = volumeSize - space.usedSpace;
  space.filesOnDisk = filesOnDisk;
  const std::uint64_t found = std::min(space.usedSpace, filesOnDisk);
  space.metadata = std::min(metadata, space.usedSpace - found);
  const std::uint64_t rest = space.usedSpace - found - space.metadata;
  space.unreadable = someFoldersUnreadable ? rest : 0;
  space.unexplained = someFoldersUnreadable ? 0 : rest;
  return space;
}

VolumeSpace AddSpaces(const VolumeSpace& a, const VolumeSpace& b) {
  const auto add = base::SaturatingAdd;
  return {add(a.volumeSize, b.volumeSize),   add(a.usedSpace, b.usedSpace),
          add(a.freeSpace, b.freeSpace),     add(a.filesOnDisk, b.filesOnDisk),
          add(a.metadata, b.metadata),       add(a.unreadable, b.unreadable),
          add(a.unexplained, b.unexplained)};
}

}  // namespace ombrix::core
