#include "base/name_case.h"

#include <gtest/gtest.h>

#include <string_view>
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

TEST(NameCaseTest, CompareFoldedIgnoresCaseAndOrdersPrefixesFirst) {
  const struct {
    std::u16string_view a;
    std::u16string_view b;
    int expected;
  } cases[] = {
      {u"Windows", u"WINDOWS", 0},  {u"\u00e9t\u00e9", u"\u00c9T\u00c9", 0},
      {u"abc", u"abd", -1},         {u"ab", u"abc", -1},
      {u"abc", u"AB", 1},           {u"\u0436", u"\u0416", 0},
      {u"a", u"b", -1},             {u"", u"", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareFolded(c.a, c.b), c.expected);
    EXPECT_EQ(CompareFolded(c.b, c.a), -c.expected);
  }
}

}  // namespace
}  // namespace ombrix::base
