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

TEST(TextEncodingTest, StrictConversionRefusesAnyInvalidSequence) {
  EXPECT_EQ(FromUtf8Strict(""), u"");
  EXPECT_EQ(FromUtf8Strict("a\xC3\xA9\xF0\x9F\x98\x80"), u"a\u00e9\U0001F600");
  EXPECT_EQ(FromUtf8Strict(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  for (const char* invalid :
       {"\xFF", "a\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xE4\xB8x"}) {
    EXPECT_EQ(FromUtf8Strict(invalid), std::nullopt) << invalid;
  }
}

}  // namespace
}  // namespace ombrix::base
