#include "core/mft/volume_path_rules.h"

#include <gtest/gtest.h>

#include "base/text_encoding.h"

namespace ombrix::core {
namespace {

TEST(VolumePathRulesTest, OnlyNtfsDriveLettersAreRead) {
  struct Case {
    std::optional<std::u16string> volumePath;
    bool ntfs;
    VolumeOpenResult verdict;
  };
  const Case cases[] = {
      {u"C:\\", true, VolumeOpenResult::Opened},
      {u"d:/", true, VolumeOpenResult::Opened},
      {u"C:\\", false, VolumeOpenResult::NotAvailable},
      {std::nullopt, true, VolumeOpenResult::NotAvailable},
      // Mounted in a folder: the letter's device is another volume.
      {u"C:\\mnt\\data\\", true, VolumeOpenResult::NotAvailable},
      // No letter at all: no device path to open.
      {u"\\\\?\\Volume{5b1e0c5e-0000-0000-0000-100000000000}\\", true,
       VolumeOpenResult::OpenFailed},
      {u"C:", true, VolumeOpenResult::OpenFailed},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyVolumePath(c.volumePath, c.ntfs), c.verdict)
        << (c.volumePath ? base::ToUtf8(*c.volumePath) : "(none)") << " ntfs " << c.ntfs;
  }
}

}  // namespace
}  // namespace ombrix::core
