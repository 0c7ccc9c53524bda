#include "app/settings/settings_serializer.h"

#include <string_view>

#include "base/text_encoding.h"

namespace ombrix::app {
namespace {

void AppendJsonString(std::string& out, std::u16string_view value) {
  out.push_back('"');
  for (const char c : base::ToUtf8(value)) {
    switch (c) {
      case '\b':
        out += "\\b";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\r':
        out += "\\r";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out.push_back(c);
    }
  }
  out.push_back('"');
}

const char* BooleanWord(bool value) { return value ? "true" : "false"; }

}  // namespace

std::string SerializeSettings(const AppSettings& settings) {
  std::string text = "{\r\n";
  const auto appendMember = [&text](std::string_view key, std::u16string_view value) {
    text += "  \"";
    text += key;
    text += "\": ";
    AppendJsonString(text, value);
    text += ",\r\n";
  };
  appendMember("appVersion", settings.appVersion);
  appendMember("language", settings.language);
  appendMember("theme", settings.theme);
  text += "  \"recentFolders\": [";
  for (std::size_t i = 0; i < settings.recentFolders.size(); ++i) {
    if (i > 0) {
      text += ", ";
    }
    AppendJsonString(text, settings.recentFolders[i]);
  }
  text += "],\r\n";
  text += "  \"scan\": {\r\n";
  const auto appendScanMember = [&text](std::string_view key, std::string_view word, bool last) {
    text += "    \"";
    text += key;
    text += "\": ";
    text += word;
    text += last ? "\r\n" : ",\r\n";
  };
  appendScanMember("threadsPerDrive", std::to_string(settings.threadsPerDrive), false);
  appendScanMember("showAdminPromptOnStartup", BooleanWord(settings.showAdminPromptOnStartup),
                   false);
  appendScanMember("suppressAdminPrompt", BooleanWord(settings.suppressAdminPrompt), false);
  appendScanMember("alwaysStartAsAdministrator", BooleanWord(settings.alwaysStartAsAdministrator),
                   true);
  text += "  },\r\n  \"sizeBasis\": ";
  AppendJsonString(text, settings.sizeBasis == core::SizeBasis::OnDisk ? kSizeBasisOnDiskWord
                                                                       : kSizeBasisLogicalWord);
  text += ",\r\n  \"keepLastScans\": ";
  text += BooleanWord(settings.keepLastScans);
  text += "\r\n}\r\n";
  return text;
}

}  // namespace ombrix::app
