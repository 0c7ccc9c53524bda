// The program converts with its own code on every platform; Windows must
// give the same answers (WideCharToMultiByte without flags,
// MultiByteToWideChar with MB_ERR_INVALID_CHARS), so both builds read and
// write settings identically.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/text_encoding.h"
#include "base/win/wide_string_win.h"

namespace ombrix::base {
namespace {

std::string WindowsToUtf8(const std::u16string& text) {
  const int length = static_cast<int>(text.size());
  std::string out(text.size() * 3, '\0');
  out.resize(::WideCharToMultiByte(CP_UTF8, 0, WideView(text), length, out.data(),
                                   static_cast<int>(out.size()), nullptr, nullptr));
  return out;
}

// Empty for invalid text, as the settings reader wants it.
std::u16string WindowsFromUtf8Strict(const std::string& text) {
  std::u16string out(text.size(), u'\0');
  out.resize(::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                   static_cast<int>(text.size()), WritableWide(out),
                                   static_cast<int>(out.size())));
  return out;
}

TEST(TextEncodingWinTest, ConversionsAgreeWithWindows) {
  const std::string utf8[] = {"plain",
                              std::string("nul\0in", 6),
                              "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80",
                              "\xEF\xBB\xBF{}",
                              "\xEF\xBF\xBE\xEF\xBF\xBF",
                              "\xF4\x8F\xBF\xBF",  // BOM, nonchars, max
                              "\xF4\x90\x80\x80",
                              "\xC0\xAF",
                              "\xC1\xBF",
                              "\xE0\x80\xAF",
                              "\xF0\x80\x80\xAF",  // overlong
                              "\xED\xA0\x80",
                              "\xED\xBF\xBF",  // surrogates
                              "\x80",
                              "a\xBF",
                              "\xC3",
                              "\xE4\xB8",
                              "\xF0\x9F\x98",
                              "\xE4x\xAD",  // broken sequences
                              "\xF5\x80\x80\x80",
                              "\xF8\x88\x80\x80\x80",
                              "\xFE",
                              "\xFF"};
  for (const std::string& text : utf8) {
    EXPECT_EQ(FromUtf8Strict(text).value_or(u""), WindowsFromUtf8Strict(text))
        << ::testing::PrintToString(text);
  }
  const std::u16string utf16[] = {u"plain",
                                  std::u16string(u"nul\0in", 6),
                                  u"\u00e9\U0001F600\uFFFF",
                                  std::u16string{0xD800},
                                  std::u16string{u'a', 0xDC00},
                                  std::u16string{0xDE00, 0xD83D},
                                  std::u16string{0xD83D, 0xD83D, 0xDE00}};
  for (const std::u16string& text : utf16) {
    EXPECT_EQ(ToUtf8(text), WindowsToUtf8(text)) << ::testing::PrintToString(ToUtf8(text));
  }
}

}  // namespace
}  // namespace ombrix::base
