#include "app/settings/settings_reader.h"

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "app/settings/settings_json.h"
#include "base/text_encoding.h"

namespace ombrix::app {
namespace {

const JsonValue* Member(const JsonObject& object, const std::string& key, JsonValueKind kind) {
  const auto found = object.find(key);
  if (found == object.end() || found->second.kind != kind) {
    return nullptr;
  }
  return &found->second;
}

// Text that is not valid UTF-8 is stored as an empty string rather than
// being repaired, so a damaged path never names some other folder.
std::u16string ConvertText(const std::string& utf8) {
  return base::FromUtf8Strict(utf8).value_or(std::u16string());
}

void ReadText(const JsonObject& object, const std::string& key, std::u16string& field) {
  if (const JsonValue* value = Member(object, key, JsonValueKind::String)) {
    field = ConvertText(value->text);
  }
}

void ReadBoolean(const JsonObject& object, const std::string& key, bool& field) {
  if (const JsonValue* value = Member(object, key, JsonValueKind::Boolean)) {
    field = value->text == "true";
  }
}

// Plain decimal digits only, leading zeros allowed: a sign, a fraction or
// an exponent means the file was not written by us, so it is not guessed at.
void ReadThreadCount(const JsonObject& object, const std::string& key, std::uint32_t& field) {
  const JsonValue* value = Member(object, key, JsonValueKind::Number);
  if (value == nullptr) {
    return;
  }
  std::uint64_t number = 0;
  for (const char c : value->text) {
    if (c < '0' || c > '9') {
      return;
    }
    number = number * 10 + static_cast<std::uint64_t>(c - '0');
    if (number > std::numeric_limits<std::uint32_t>::max()) {
      return;
    }
  }
  field = static_cast<std::uint32_t>(number);
}

// Present means replaced: anything but an array of strings empties the list.
void ReadRecentFolders(const JsonObject& object, std::vector<std::u16string>& field) {
  const auto found = object.find("recentFolders");
  if (found == object.end()) {
    return;
  }
  field.clear();
  std::vector<std::string> paths;
  if (found->second.kind != JsonValueKind::Array ||
      !ParseJsonStringArray(found->second.text, paths)) {
    return;
  }
  for (const std::string& path : paths) {
    field.push_back(ConvertText(path));
  }
}

void ReadScan(const JsonObject& object, AppSettings& settings) {
  const JsonValue* value = Member(object, "scan", JsonValueKind::Object);
  JsonObject scan;
  if (value == nullptr || !ParseJsonObject(value->text, scan)) {
    return;
  }
  ReadThreadCount(scan, "threadsPerDrive", settings.threadsPerDrive);
  ReadBoolean(scan, "showAdminPromptOnStartup", settings.showAdminPromptOnStartup);
  ReadBoolean(scan, "suppressAdminPrompt", settings.suppressAdminPrompt);
  ReadBoolean(scan, "alwaysStartAsAdministrator", settings.alwaysStartAsAdministrator);
}

// Only our own word for sizes on disk switches the basis; anything else
// keeps logical sizes, the basis every user starts with.
void ReadSizeBasis(const JsonObject& object, core::SizeBasis& field) {
  std::u16string word;
  ReadText(object, "sizeBasis", word);
  field = word == kSizeBasisOnDiskWord ? core::SizeBasis::OnDisk : core::SizeBasis::Logical;
}

}  // namespace

AppSettings ReadSettingsText(std::string_view text, std::uint32_t hardwareThreads) {
  AppSettings settings = DefaultSettings(hardwareThreads);
  JsonObject top;
  if (!ParseJsonObject(text, top)) {
    return settings;
  }
  ReadText(top, "appVersion", settings.appVersion);
  ReadText(top, "language", settings.language);
  ReadText(top, "theme", settings.theme);
  ReadRecentFolders(top, settings.recentFolders);
  ReadScan(top, settings);
  ReadSizeBasis(top, settings.sizeBasis);
  ReadBoolean(top, "keepLastScans", settings.keepLastScans);
  NormalizeSettings(settings, hardwareThreads);
  return settings;
}

}  // namespace ombrix::app
