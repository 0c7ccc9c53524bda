#include "app/settings/settings_location.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "base/text_encoding.h"

namespace ombrix::app {
namespace {

constexpr std::uint32_t kNoPackage = 15700;  // APPMODEL_ERROR_NO_PACKAGE
const std::u16string kExe = u"C:\\Tools\\Ombrix\\ombrix.exe";
const std::u16string kLocal = u"C:\\Users\\u\\AppData\\Local";

// A made-up machine answering the way the Win32 calls do.
struct FakeMachine {
  std::u16string modulePath = kExe;  // empty: GetModuleFileNameW fails
  std::u16string packageFamily;      // empty: not packaged
  std::u16string localAppData = kLocal;
  std::u16string knownFolder = u"C:\\Users\\u\\KnownLocal";
  std::map<std::u16string, std::uint32_t> statuses;  // path -> error; others: not found

  SettingsLocationQueries Queries() const {
    SettingsLocationQueries q;
    q.moduleFileName = [this](std::u16string& buffer) -> std::uint32_t {
      if (modulePath.empty()) return 0;
      // Cut short, the path is copied up to the last unit before the
      // terminator and the buffer's size comes back.
      const std::size_t copied = std::min(modulePath.size(), buffer.size() - 1);
      std::copy_n(modulePath.begin(), copied, buffer.begin());
      return static_cast<std::uint32_t>(copied < modulePath.size() ? buffer.size() : copied);
    };
    q.packageFamilyName = [this](std::uint32_t& length, char16_t* buffer) -> std::uint32_t {
      if (packageFamily.empty()) return kNoPackage;
      const std::uint32_t needed = static_cast<std::uint32_t>(packageFamily.size() + 1);
      if (buffer == nullptr || length < needed) {
        length = needed;
        return 122;
      }
      std::copy(packageFamily.begin(), packageFamily.end(), buffer);
      buffer[packageFamily.size()] = u'\0';
      return 0;
    };
    q.localAppDataVariable = [this] { return localAppData; };
    q.knownLocalAppDataFolder = [this] { return knownFolder; };
    q.pathStatus = [this](const std::u16string& path) -> std::uint32_t {
      const auto found = statuses.find(path);
      return found == statuses.end() ? 2 : found->second;
    };
    return q;
  }
};

TEST(SettingsLocationTest, DecidesTheFileByPackageThenMarkerThenLocalAppData) {
  const std::u16string marker = u"C:\\Tools\\Ombrix\\ombrix.portable";
  const std::u16string portable = u"C:\\Tools\\Ombrix\\ombrix.settings.json";
  const std::u16string perUser = kLocal + u"\\Ombrix\\ombrix.settings.json";
  const std::u16string longFolder = u"C:\\" + std::u16string(300, u'd');
  struct Case {
    const char* name;
    FakeMachine machine;
    std::u16string expected;
  };
  std::vector<Case> cases;
  const auto add = [&cases](const char* name, auto change, std::u16string expected) {
    FakeMachine machine;
    change(machine);
    cases.push_back({name, machine, std::move(expected)});
  };
  add(
      "no marker", [](FakeMachine&) {}, perUser);
  add(
      "marker file or folder", [&](FakeMachine& m) { m.statuses[marker] = 0; }, portable);
  add(
      "packaged, marker ignored",
      [&](FakeMachine& m) {
        m.packageFamily = u"Ombrix_8wekyb3d8bbwe";
        m.statuses[marker] = 0;
      },
      kLocal + u"\\Packages\\Ombrix_8wekyb3d8bbwe\\LocalState\\ombrix.settings.json");
  add(
      "packaged without LOCALAPPDATA counts as not packaged",
      [&](FakeMachine& m) {
        m.packageFamily = u"Ombrix_8wekyb3d8bbwe";
        m.localAppData.clear();
        m.statuses[marker] = 0;
      },
      portable);
  add(
      "LOCALAPPDATA unset: the shell's folder", [](FakeMachine& m) { m.localAppData.clear(); },
      u"C:\\Users\\u\\KnownLocal\\Ombrix\\ombrix.settings.json");
  add(
      "LOCALAPPDATA unset and no shell folder: relative",
      [](FakeMachine& m) {
        m.localAppData.clear();
        m.knownFolder.clear();
      },
      u"Ombrix\\ombrix.settings.json");
  add(
      "LOCALAPPDATA with a trailing separator",
      [](FakeMachine& m) { m.localAppData = u"D:\\Local\\"; },
      u"D:\\Local\\Ombrix\\ombrix.settings.json");
  add(
      "LOCALAPPDATA a bare drive", [](FakeMachine& m) { m.localAppData = u"D:"; },
      u"D:Ombrix\\ombrix.settings.json");
  add(
      "executable at a drive root",
      [](FakeMachine& m) {
        m.modulePath = u"E:\\ombrix.exe";
        m.statuses[u"E:\\ombrix.portable"] = 0;
      },
      u"E:\\ombrix.settings.json");
  add(
      "executable path of 259 units",
      [](FakeMachine& m) {
        m.modulePath = u"C:\\" + std::u16string(245, u'd') + u"\\ombrix.exe";
        m.statuses[m.modulePath.substr(0, 248) + u"\\ombrix.portable"] = 0;
      },
      u"C:\\" + std::u16string(245, u'd') + u"\\ombrix.settings.json");
  add(
      "executable path past 260 units",
      [&](FakeMachine& m) {
        m.modulePath = longFolder + u"\\ombrix.exe";
        m.statuses[longFolder + u"\\ombrix.portable"] = 0;
      },
      longFolder + u"\\ombrix.settings.json");
  add(
      "executable path unknown, marker in the current directory",
      [](FakeMachine& m) {
        m.modulePath.clear();
        m.statuses[u"ombrix.portable"] = 0;
      },
      u"ombrix.settings.json");
  // The not-found family, and an answer that decides nothing (access
  // denied): no marker either way.
  for (const std::uint32_t error : {2u, 3u, 53u, 64u, 123u, 161u, 267u, 5u}) {
    add(
        "marker status error", [&](FakeMachine& m) { m.statuses[marker] = error; }, perUser);
  }
  for (const Case& c : cases) {
    EXPECT_EQ(base::ToUtf8(SettingsFilePath(c.machine.Queries())), base::ToUtf8(c.expected))
        << c.name;
  }
}

TEST(SettingsLocationTest, PackageFamilyIsCutAtItsFirstNul) {
  FakeMachine machine;
  machine.packageFamily = std::u16string(u"Fam\0junk", 8);
  EXPECT_EQ(PackageLocalStateFolder(machine.Queries()), kLocal + u"\\Packages\\Fam\\LocalState");
}

}  // namespace
}  // namespace ombrix::app
