#include "i18n/language_file.h"

#include <gtest/gtest.h>

#include <map>

namespace ombrix::i18n {
namespace {

using Texts = std::map<std::string, std::u16string>;

Texts Parsed(std::string_view bytes) {
  const StringTable table = ParseLanguageFile(bytes);
  return Texts(table.begin(), table.end());
}

TEST(LanguageFileTest, LineFormat) {
  const struct {
    const char* name;
    std::string bytes;
    Texts texts;
  } cases[] = {
      {"spaces around the equals sign", " status.ready = Ready \n", {{"status.ready", u"Ready"}}},
      {"tabs and CR LF", "a\t=\tx\t\r\nb=y\r\n", {{"a", u"x"}, {"b", u"y"}}},
      {"text holding further equals signs", "a=b=c", {{"a", u"b=c"}}},
      {"comment only in the first column", "#a=x\n #b=y", {{"#b", u"y"}}},
      {"first definition wins", "k=first\nk=second\n", {{"k", u"first"}}},
      {"empty text", "k=\n", {{"k", u""}}},
      {"lines without an equals sign", "just words\n\n\r\nk=v", {{"k", u"v"}}},
      {"non-ASCII key units become ?", "cl\xC3\xA9=v", {{"cl?", u"v"}}},
      {"no-break space is kept", "k = x\xC2\xA0", {{"k", u"x\u00A0"}}},
      {"byte-order mark stays on the first key",
       "\xEF\xBB\xBFk=v\nj=w",
       {{"?k", u"v"}, {"j", u"w"}}},
      {"byte-order mark before a comment", "\xEF\xBB\xBF# note\nk=v", {{"k", u"v"}}},
      {"reading stops at invalid UTF-8",
       "a=1\nb=two\xFF"
       "three\nc=3\n",
       {{"a", u"1"}, {"b", u"two"}}},
      {"a truncated sequence at the end", "a=1\nb=\xE6\x97", {{"a", u"1"}, {"b", u""}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Parsed(c.bytes), c.texts) << c.name;
  }
}

}  // namespace
}  // namespace ombrix::i18n
