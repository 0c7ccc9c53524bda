// Names that NTFS allows but the classic Win32 path parser rewrites or
// refuses, made for real under Wine (each one the Wine file system lets the
// test create): both folder engines must list what is inside them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "base/win/extended_path_win.h"
#include "base/win/wide_string_win.h"
#include "core/ntquery/nt_query_engine.h"
#include "core/walk/directory_finder_win.h"
#include "core/walk/directory_walk_scan_engine.h"
#include "tests/support/temporary_folder.h"

namespace ombrix::core {
namespace {

bool MakeFolderWithAFile(const std::u16string& folder) {
  if (!::CreateDirectoryW(base::WideView(folder), nullptr)) return false;
  const std::u16string file = folder + u"\\inside.bin";
  const HANDLE handle = ::CreateFileW(base::WideView(file), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = ::WriteFile(handle, "1234567", 7, &written, nullptr) && written == 7;
  ::CloseHandle(handle);
  return ok;
}

// Removes what MakeFolderWithAFile made. Through the extended-length form
// only: the plain-path calls of std::filesystem would rewrite the names
// (and Wine's hang on some of them), so the temporary folder's own cleanup
// must find it empty.
void RemoveFolderWithAFile(const std::u16string& folder) {
  ::DeleteFileW(base::WideView(folder + u"\\inside.bin"));
  ::RemoveDirectoryW(base::WideView(folder));
}

TEST(OddNamesWinTest, FoldersWithNamesThePathParserRewritesAreListed) {
  test::TemporaryFolder temporary;
  const std::u16string root = temporary.Path().u16string();
  const std::u16string systemRoot = base::SystemRootPath(root);
  std::vector<std::u16string> made;
  for (const std::u16string name : {u"dots.", u"space ", u"CON", u"NUL.txt", u"aux"}) {
    if (MakeFolderWithAFile(systemRoot + u"\\" + name)) made.push_back(name);
  }
  ASSERT_FALSE(made.empty()) << "Wine let the test create none of the names";
  for (const char* engineName : {"walk", "ntquery"}) {
    SCOPED_TRACE(engineName);
    ScanCancellationToken token;
    const ScanResult result =
        std::string(engineName) == "walk"
            ? DirectoryWalkScanEngine(SystemDirectoryFinder()).Scan(root, token, {})
            : NtQueryDirectoryScanEngine(2).Scan(root, token, {});
    EXPECT_EQ(result.fileCount, made.size());
    EXPECT_EQ(result.nodes[result.rootIndex].TotalSize(), 7 * made.size());
    EXPECT_TRUE(result.issues.empty());
    for (const std::u16string& name : made) {
      bool found = false;
      for (const ScanNode& node : result.nodes) {
        found = found || node.Path() == root + u"\\" + name + u"\\inside.bin";
      }
      EXPECT_TRUE(found) << base::ToUtf8(name);
    }
  }
  for (const std::u16string& name : made) RemoveFolderWithAFile(systemRoot + u"\\" + name);
}

}  // namespace
}  // namespace ombrix::core
