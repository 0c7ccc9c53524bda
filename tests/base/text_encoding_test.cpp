#include "base/text_encoding.h"

#include <gtest/gtest.h>

namespace ombrix::base {
namespace {

TEST(TextEncodingTest, RoundTripsEveryPlane) {
  const std::u16string text = u"a\u00e9\u4e2d\U0001F600z";
  const std::string utf8 = base::ToUtf8(text);
  EXPECT_EQ(utf8, "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z");
  EXPECT_EQ(base::FromUtf8(utf8), text);
}

TEST(TextEncodingTest, UnpairedSurrogatesBecomeReplacementCharacters) {
  std::u16string text = u"a";
  text.push_back(static_cast<char16_t>(0xD800));
  text.push_back(u'b');
  text.push_back(static_cast<char16_t>(0xDC00));
  EXPECT_EQ(base::ToUtf8(text),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
}

TEST(TextEncodingTest, InvalidUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(base::FromUtf8("\xFF"), u"\uFFFD");
  EXPECT_EQ(base::FromUtf8("a\xC3"), u"a\uFFFD");                    // truncated sequence
  EXPECT_EQ(base::FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
  EXPECT_EQ(base::FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
}

TEST(TextEncodingTest, PrefixDecodingStopsAtTheFirstInvalidSequence) {
  struct Case {
    std::string utf8;
    std::u16string decoded;
    std::size_t bytesRead;
  };
  const Case cases[] = {
      {"", u"", 0},
      {"a\xC3\xA9\xF0\x9F\x98\x80", u"a\u00e9\U0001F600", 7},
      {"ab\xFF"
       "cd",
       u"ab", 2},
      {"ab\xE4\xB8", u"ab", 2},  // truncated at the end
      {"a\xE4\xB8"
       "b",
       u"a", 1},                       // continuation missing
      {"a\xED\xA0\x80z", u"a", 1},     // encoded surrogate
      {"a\xF4\x90\x80\x80", u"a", 1},  // above U+10FFFF
      {"x\xE0\x80\x80", u"x", 1},      // overlong
      {std::string("n\0z", 3), std::u16string(u"n\0z", 3), 3},
  };
  for (const Case& c : cases) {
    std::size_t bytesRead = 99;
    EXPECT_EQ(FromUtf8Prefix(c.utf8, bytesRead), c.decoded) << c.utf8;
    EXPECT_EQ(bytesRead, c.bytesRead) << c.utf8;
    // The settings file takes its strings whole or not at all.
    EXPECT_EQ(FromUtf8Strict(c.utf8).has_value(), c.bytesRead == c.utf8.size()) << c.utf8;
  }
}

}  // namespace
}  // namespace ombrix::base
