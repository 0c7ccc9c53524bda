// Any bytes as a settings file, and any record as a save. The first byte
// picks the machine's thread count (1 to 64) and, with its top bit, the
// mode:
//   clear: the rest is a settings file. Reading it must not crash, and what
//          was read must come back unchanged from its own saved text.
//   set:   the rest is a record's text as UTF-16 units, fields separated by
//          U+FFFF, surrogates paired or not. Saved and read back, it must
//          equal the record, with each unpaired surrogate as U+FFFD.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/settings/app_settings.h"
#include "app/settings/settings_reader.h"
#include "app/settings/settings_serializer.h"

namespace {

using ombrix::app::AppSettings;

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::u16string WithUnpairedSurrogatesReplaced(const std::u16string& text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
      out += text.substr(i++, 2);
    } else {
      out.push_back(IsHigh(text[i]) || IsLow(text[i]) ? u'\uFFFD' : text[i]);
    }
  }
  return out;
}

void CheckRecordRoundTrip(const std::uint8_t* data, std::size_t size, std::uint32_t threads) {
  std::vector<std::u16string> fields(1);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0xFFFF) {
      fields.emplace_back();
    } else {
      fields.back().push_back(unit);
    }
  }
  fields.resize(std::max<std::size_t>(fields.size(), 3));
  AppSettings record;
  record.appVersion = fields[0];
  record.language = fields[1];
  record.theme = fields[2];
  record.recentFolders.assign(fields.begin() + 3, fields.end());
  record.threadsPerDrive = size > 0 ? data[0] : 0;
  record.showAdminPromptOnStartup = size % 2 == 0;
  record.suppressAdminPrompt = size % 3 == 0;
  record.alwaysStartAsAdministrator = size % 5 == 0;

  AppSettings expected = record;
  ombrix::app::NormalizeSettings(expected, threads);
  expected.appVersion = WithUnpairedSurrogatesReplaced(record.appVersion);
  expected.language = WithUnpairedSurrogatesReplaced(record.language);
  expected.theme = WithUnpairedSurrogatesReplaced(record.theme);
  for (std::u16string& folder : expected.recentFolders) {
    folder = WithUnpairedSurrogatesReplaced(folder);
  }
  if (ombrix::app::ReadSettingsText(ombrix::app::SerializeSettings(record), threads) != expected) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint32_t threads = 1 + (data[0] & 0x3F);
  // A copy in its own allocation, so a read past the end is caught.
  const std::vector<std::uint8_t> rest(data + 1, data + size);
  if ((data[0] & 0x80) != 0) {
    CheckRecordRoundTrip(rest.data(), rest.size(), threads);
    return 0;
  }
  const std::string text(rest.begin(), rest.end());
  const AppSettings loaded = ombrix::app::ReadSettingsText(text, threads);
  if (ombrix::app::ReadSettingsText(ombrix::app::SerializeSettings(loaded), threads) != loaded) {
    std::abort();
  }
  return 0;
}
