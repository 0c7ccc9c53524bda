// The program converts with its own code on every platform; these are the
// answers Windows gives for the same text (WideCharToMultiByte without
// flags, MultiByteToWideChar with MB_ERR_INVALID_CHARS), so both builds
// read and write settings identically.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/text_encoding.h"
#include "base/win/wide_string_win.h"

namespace ombrix::base {
namespace {

std::string WindowsToUtf8(const std::u16string& text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int needed =
      ::WideCharToMultiByte(CP_UTF8, 0, WideView(text), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, WideView(text), length, out.data(), needed, nullptr, nullptr);
  return out;
}

std::u16string WindowsFromUtf8Strict(const std::string& text) {
  if (text.empty()) return std::u16string();
  const int length = static_cast<int>(text.size());
  const int needed =
      ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  std::u16string out(static_cast<std::size_t>(needed), u'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, WritableWide(out),
                        needed);
  return out;
}

TEST(TextEncodingWinTest, StrictUtf8ConversionAgreesWithWindows) {
  const std::string inputs[] = {"plain",
                                std::string("nul\0inside", 10),
                                "\xC3\xA9",
                                "\xE4\xB8\xAD",
                                "\xF0\x9F\x98\x80",
                                "\xEF\xBB\xBF{}",            // byte-order mark
                                "\xEF\xBF\xBE\xEF\xBF\xBF",  // noncharacters are valid
                                "\xF4\x8F\xBF\xBF",          // U+10FFFF
                                "\xF4\x90\x80\x80",          // past U+10FFFF
                                "\xC0\xAF",
                                "\xC1\xBF",
                                "\xE0\x80\xAF",
                                "\xF0\x80\x80\xAF",  // overlong
                                "\xED\xA0\x80",
                                "\xED\xBF\xBF",  // encoded surrogates
                                "\x80",
                                "a\xBF",
                                "\xC3",
                                "\xE4\xB8",
                                "\xF0\x9F\x98",
                                "\xE4x\xAD",
                                "\xF5\x80\x80\x80",
                                "\xF8\x88\x80\x80\x80",
                                "\xFE",
                                "\xFF"};
  for (const std::string& input : inputs) {
    EXPECT_EQ(FromUtf8Strict(input).value_or(u""), WindowsFromUtf8Strict(input))
        << ::testing::PrintToString(input);
  }
}

TEST(TextEncodingWinTest, Utf16ConversionAgreesWithWindows) {
  const std::u16string inputs[] = {u"plain",
                                   std::u16string(u"nul\0inside", 10),
                                   u"\u00e9\u4e2d\U0001F600",
                                   u"\uFFFF",
                                   std::u16string{0xD800},
                                   std::u16string{0xDC00},
                                   std::u16string{u'a', 0xD83D},
                                   std::u16string{0xDE00, 0xD83D},
                                   std::u16string{0xD83D, 0xD83D, 0xDE00}};
  for (const std::u16string& input : inputs) {
    EXPECT_EQ(ToUtf8(input), WindowsToUtf8(input)) << ::testing::PrintToString(ToUtf8(input));
  }
}

}  // namespace
}  // namespace ombrix::base
