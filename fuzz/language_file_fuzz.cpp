// Feeds arbitrary bytes to the language-file reader. Besides not crashing,
// reading must end exactly at the first invalid UTF-8 sequence: the decoded
// part re-encodes to exactly the bytes before it, the bytes there do not
// start a valid sequence, and nothing after them changes the table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/text_encoding.h"
#include "i18n/language_file.h"

namespace {

bool Trimmed(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ombrix;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const i18n::StringTable table = i18n::ParseLanguageFile(bytes);

  std::size_t bytesRead = 0;
  const std::u16string decoded = base::FromUtf8Prefix(bytes, bytesRead);
  if (bytesRead > size || base::ToUtf8(decoded) != bytes.substr(0, bytesRead)) std::abort();
  std::size_t length = 0;
  if (bytesRead < size && base::DecodeUtf8(bytes, bytesRead, length)) std::abort();
  if (i18n::ParseLanguageFile(bytes.substr(0, bytesRead)) != table) std::abort();

  for (const auto& [key, text] : table) {
    for (char c : key) {
      if (static_cast<unsigned char>(c) >= 128 || c == '\n' || c == '=') std::abort();
    }
    if (!key.empty() && (Trimmed(static_cast<char16_t>(key.front())) ||
                         Trimmed(static_cast<char16_t>(key.back())))) {
      std::abort();
    }
    if (text.find(u'\n') != std::u16string::npos) std::abort();
    if (!text.empty() && (Trimmed(text.front()) || Trimmed(text.back()))) std::abort();
  }
  return 0;
}
