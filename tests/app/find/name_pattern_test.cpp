#include "app/find/name_pattern.h"

#include <gtest/gtest.h>

#include <string>

namespace ombrix::app {
namespace {

TEST(NamePatternTest, MatchesAsAWindowsSearchDoes) {
  const struct {
    std::u16string pattern;
    std::u16string name;
    bool matches;
  } cases[] = {
      {u"*.iso", u"ubuntu.iso", true},
      {u"*.iso", u"UBUNTU.ISO", true},
      {u"*.iso", u"ubuntu.iso.part", false},
      {u"*.iso", u".iso", true},
      {u"*.iso", u"iso", false},
      {u"*.*", u"README", true},
      {u"*", u"", true},
      {u"?.txt", u"a.txt", true},
      {u"?.txt", u"ab.txt", false},
      {u"a*b*c", u"abc", true},
      {u"a*b*c", u"aXbYbZc", true},
      {u"a*b*c", u"acb", false},
      {u"a*bc*bc", u"abcbc", true},
      {u"a*bc*bc", u"abc", false},
      {u"*ab*ab", u"abab", true},
      {u"*ab*ab", u"aba", false},
      {u"report", u"Q3 Report final.pdf", true},
      {u"report", u"rep.ort", false},
      {u"*.iso;*.img", u"disk.img", true},
      {u" *.iso ; *.img ", u"disk.IMG", true},
      {u"*.iso;;", u"disk.img", false},
      {u"\u00E9t\u00E9*", u"\u00C9T\u00C9 2024.jpg", true},
      {u"*\u0436\u0443\u0440\u043D\u0430\u043B*", u"\u0416\u0423\u0420\u041D\u0410\u041B.txt",
       true},
      {u"\u00FF*", u"\u0178.txt", true},
      {u"IMG_????.JPG", u"img_0042.jpg", true},
      {u"IMG_????.JPG", u"img_042.jpg", false},
      {u"\u4E2D*", u"\u4E2D\u6587.txt", true},
  };
  for (const auto& c : cases) {
    const NamePattern pattern = NamePattern::Parse(c.pattern);
    EXPECT_EQ(pattern.Matches(std::u16string_view(c.name)), c.matches)
        << "pattern #" << (&c - cases);
  }
}

TEST(NamePatternTest, EmptyOrStarMatchesEverything) {
  for (const std::u16string text : {u"", u" ", u";", u"*", u"**", u"*.*", u"*.iso;*"}) {
    EXPECT_TRUE(NamePattern::Parse(text).MatchesEverything());
  }
  EXPECT_FALSE(NamePattern::Parse(u"*.iso").MatchesEverything());
  EXPECT_FALSE(NamePattern::Parse(u"?").MatchesEverything());
}

}  // namespace
}  // namespace ombrix::app
