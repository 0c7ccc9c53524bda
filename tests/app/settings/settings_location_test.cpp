#include "app/settings/settings_location.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/text_encoding.h"

namespace ombrix::app {
namespace {

// A made-up machine; its answers follow the Win32 calls'.
struct Machine {
  const char* name;
  std::u16string modulePath;     // empty: GetModuleFileNameW fails
  std::u16string packageFamily;  // empty: not packaged
  std::u16string localAppData;   // the variable
  std::u16string knownFolder;    // the shell's answer
  std::u16string markerPath;     // the one path whose status is asked for
  std::uint32_t markerError;     // its status: 0 exists; every other path: 2
  std::u16string expected;
};

SettingsLocationQueries Queries(const Machine& m) {
  SettingsLocationQueries q;
  q.moduleFileName = [&m](std::u16string& buffer) -> std::uint32_t {
    // Cut short, the path fills the buffer but for the terminator and the
    // buffer's size comes back.
    const std::size_t copied = std::min(m.modulePath.size(), buffer.size() - 1);
    std::copy_n(m.modulePath.begin(), copied, buffer.begin());
    return static_cast<std::uint32_t>(copied < m.modulePath.size() ? buffer.size() : copied);
  };
  q.packageFamilyName = [&m](std::uint32_t& length, char16_t* buffer) -> std::uint32_t {
    if (m.packageFamily.empty()) return 15700;  // APPMODEL_ERROR_NO_PACKAGE
    const auto needed = static_cast<std::uint32_t>(m.packageFamily.size() + 1);
    if (buffer == nullptr || length < needed) {
      length = needed;
      return 122;
    }
    std::copy(m.packageFamily.begin(), m.packageFamily.end(), buffer);
    buffer[m.packageFamily.size()] = u'\0';
    return 0;
  };
  q.localAppDataVariable = [&m] { return m.localAppData; };
  q.knownLocalAppDataFolder = [&m] { return m.knownFolder; };
  q.pathStatus = [&m](const std::u16string& path) -> std::uint32_t {
    return path == m.markerPath ? m.markerError : 2;
  };
  return q;
}

TEST(SettingsLocationTest, PackageThenMarkerThenLocalAppData) {
  const std::u16string exe = u"C:\\Tools\\ombrix.exe";
  const std::u16string marker = u"C:\\Tools\\ombrix.portable";
  const std::u16string portable = u"C:\\Tools\\ombrix.settings.json";
  const std::u16string local = u"C:\\Users\\u\\AppData\\Local";
  const std::u16string known = u"C:\\Users\\u\\Known";
  const std::u16string perUser = local + u"\\Ombrix\\ombrix.settings.json";
  const std::u16string deep = u"C:\\" + std::u16string(245, u'd');  // + "\\ombrix.exe": 259
  const std::u16string deeper = deep + std::u16string(100, u'e');
  std::vector<Machine> machines = {
      {"no marker", exe, u"", local, known, u"", 0, perUser},
      {"marker", exe, u"", local, known, marker, 0, portable},
      {"packaged, marker ignored", exe, u"Fam_8wekyb3d8bbwe", local, known, marker, 0,
       local + u"\\Packages\\Fam_8wekyb3d8bbwe\\LocalState\\ombrix.settings.json"},
      {"family cut at its first NUL", exe, std::u16string(u"Fam\0junk", 8), local, known, u"", 0,
       local + u"\\Packages\\Fam\\LocalState\\ombrix.settings.json"},
      {"packaged without LOCALAPPDATA: not packaged", exe, u"Fam", u"", known, marker, 0, portable},
      {"no LOCALAPPDATA: the shell's folder", exe, u"", u"", known, u"", 0,
       known + u"\\Ombrix\\ombrix.settings.json"},
      {"no folder at all: relative", exe, u"", u"", u"", u"", 0, u"Ombrix\\ombrix.settings.json"},
      {"trailing separator", exe, u"", u"D:\\L\\", known, u"", 0,
       u"D:\\L\\Ombrix\\ombrix.settings.json"},
      {"bare drive", exe, u"", u"D:", known, u"", 0, u"D:Ombrix\\ombrix.settings.json"},
      {"executable at a root", u"E:\\o.exe", u"", local, known, u"E:\\ombrix.portable", 0,
       u"E:\\ombrix.settings.json"},
      {"executable path of 259 units", deep + u"\\ombrix.exe", u"", local, known,
       deep + u"\\ombrix.portable", 0, deep + u"\\ombrix.settings.json"},
      {"executable path past 260 units", deeper + u"\\ombrix.exe", u"", local, known,
       deeper + u"\\ombrix.portable", 0, deeper + u"\\ombrix.settings.json"},
      {"executable unknown: marker in the current folder", u"", u"", local, known,
       u"ombrix.portable", 0, u"ombrix.settings.json"},
  };
  // The not-found family, and access denied, which decides nothing.
  for (const std::uint32_t error : {2u, 3u, 53u, 64u, 123u, 161u, 267u, 5u}) {
    machines.push_back({"marker status error", exe, u"", local, known, marker, error, perUser});
  }
  for (const Machine& m : machines) {
    EXPECT_EQ(base::ToUtf8(SettingsFilePath(Queries(m))), base::ToUtf8(m.expected)) << m.name;
  }
}

}  // namespace
}  // namespace ombrix::app
