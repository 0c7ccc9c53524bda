#include "base/win/extended_path_win.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text_encoding.h"

namespace ombrix::base {
namespace {

// Paths of MAX_PATH (260) characters and more get the \\?\ form, made from
// the platform's own full path (separators unified, . and .. resolved);
// shorter ones and those already in a device form pass unchanged.
TEST(ExtendedLengthPathTest, LongPathsGetTheExtendedForm) {
  const std::u16string a300(300, u'a');
  const std::u16string a257(257, u'a');
  struct Case {
    std::u16string given;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"C:\\short\\*", u"C:\\short\\*"},
      {u"C:\\" + std::u16string(256, u'a'), u"C:\\" + std::u16string(256, u'a')},  // 259 chars
      {u"C:\\" + a257, u"\\\\?\\C:\\" + a257},                                     // 260 chars
      {u"C:\\" + a300 + u"/b\\.\\c\\..\\d\\*", u"\\\\?\\C:\\" + a300 + u"\\b\\d\\*"},
      {u"\\\\srv\\share\\" + a300, u"\\\\?\\UNC\\srv\\share\\" + a300},
      {u"\\\\?\\C:\\" + a300 + u"/x", u"\\\\?\\C:\\" + a300 + u"/x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given.size());
    EXPECT_EQ(ToUtf8(ExtendedLengthPath(c.given)), ToUtf8(c.expected));
  }
}

}  // namespace
}  // namespace ombrix::base
