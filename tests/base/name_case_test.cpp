#include "base/name_case.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace ombrix::base {
namespace {

TEST(NameCaseTest, FoldNameUnitCoversCommonScripts) {
  const std::vector<std::pair<char16_t, char16_t>> cases = {
      {u'a', u'A'},   {u'Z', u'Z'},   {u'1', u'1'},   {u'.', u'.'},   {0xE9, 0xC9},
      {0xF7, 0xF7},   {0xFF, 0x178},  {0x101, 0x100}, {0x100, 0x100}, {0x13A, 0x139},
      {0x17E, 0x17D}, {0x178, 0x178}, {0x3B1, 0x391}, {0x3C2, 0x3A3}, {0x430, 0x410},
      {0x451, 0x401}, {0x4E2D, 0x4E2D}};
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(FoldNameUnit(in), out) << std::hex << static_cast<int>(in);
  }
  for (char16_t unit = 0; unit < 0x100; ++unit) {
    EXPECT_EQ(kFoldedLatin1Units[unit], FoldNameUnit(unit));
  }
}

}  // namespace
}  // namespace ombrix::base
