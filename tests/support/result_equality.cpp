#include "tests/support/result_equality.h"

#include <sstream>

#include "base/text_encoding.h"
#include "core/scan_tree_builder.h"

namespace ombrix::test {
namespace {

constexpr std::size_t kMostDifferences = 20;

class Differences {
 public:
  template <typename T>
  void Expect(const char* what, std::uint64_t node, const T& expected, const T& actual) {
    if (expected == actual || lines_.size() >= kMostDifferences) return;
    std::ostringstream line;
    line << what;
    if (node != core::kNoNode) line << " of node " << node;
    line << " differs";
    lines_.push_back(line.str());
  }
  std::vector<std::string> Take() { return std::move(lines_); }

 private:
  std::vector<std::string> lines_;
};

}  // namespace

std::vector<std::string> ResultDifferences(const core::ScanResult& expected,
                                           const core::ScanResult& actual) {
  Differences d;
  constexpr std::uint64_t none = core::kNoNode;
  d.Expect("status", none, expected.status, actual.status);
  d.Expect("engine", none, expected.engine, actual.engine);
  d.Expect("rootPath", none, expected.rootPath, actual.rootPath);
  d.Expect("message", none, expected.message, actual.message);
  d.Expect("rootIndex", none, expected.rootIndex, actual.rootIndex);
  d.Expect("fileCount", none, expected.fileCount, actual.fileCount);
  d.Expect("folderCount", none, expected.folderCount, actual.folderCount);
  d.Expect("issueCount", none, expected.issueCount, actual.issueCount);
  d.Expect("elapsedMs", none, expected.elapsedMs, actual.elapsedMs);
  d.Expect("scanTime", none, expected.scanTime, actual.scanTime);
  d.Expect("space present", none, expected.space.has_value(), actual.space.has_value());
  if (expected.space && actual.space) {
    const core::VolumeSpace& a = *expected.space;
    const core::VolumeSpace& b = *actual.space;
    d.Expect("space", none,
             std::vector<std::uint64_t>{a.volumeSize, a.usedSpace, a.freeSpace, a.filesOnDisk,
                                        a.metadata, a.unreadable, a.unexplained},
             std::vector<std::uint64_t>{b.volumeSize, b.usedSpace, b.freeSpace, b.filesOnDisk,
                                        b.metadata, b.unreadable, b.unexplained});
  }
  d.Expect("issues", none, expected.issues.size(), actual.issues.size());
  for (std::size_t k = 0; k < expected.issues.size() && k < actual.issues.size(); ++k) {
    d.Expect("issue path", k, expected.issues[k].path, actual.issues[k].path);
    d.Expect("issue code", k, expected.issues[k].errorCode, actual.issues[k].errorCode);
  }
  const core::ScanNodes& a = expected.nodes;
  const core::ScanNodes& b = actual.nodes;
  d.Expect("node count", none, a.size(), b.size());
  for (std::uint64_t i = 0; i < a.size() && i < b.size(); ++i) {
    d.Expect("parent", i, a.Parent(i), b.Parent(i));
    d.Expect("kind", i, a.IsDirectory(i), b.IsDirectory(i));
    d.Expect("name", i, a.Name(i).ToString(), b.Name(i).ToString());
    d.Expect("path", i, a.Path(i), b.Path(i));
    d.Expect("attributes", i, a.Attributes(i), b.Attributes(i));
    d.Expect("own size", i, a.OwnSize(i), b.OwnSize(i));
    d.Expect("total size", i, a.TotalSize(i), b.TotalSize(i));
    d.Expect("size on disk", i, a.SizeOnDisk(i), b.SizeOnDisk(i));
    d.Expect("own size on disk", i, a.FolderOwnSizeOnDisk(i), b.FolderOwnSizeOnDisk(i));
    d.Expect("direct files size", i, a.DirectFilesSize(i), b.DirectFilesSize(i));
    d.Expect("file count", i, a.FileCount(i), b.FileCount(i));
    d.Expect("folder count", i, a.FolderCount(i), b.FolderCount(i));
    d.Expect("time", i, a.LastWriteTime(i), b.LastWriteTime(i));
    d.Expect("link group", i, a.LinkGroup(i), b.LinkGroup(i));
    d.Expect("link count", i, a.LinkCount(i), b.LinkCount(i));
    d.Expect("placeholder", i, a.IsPlaceholder(i), b.IsPlaceholder(i));
    d.Expect("own path", i, a.RootPath(i) != nullptr, b.RootPath(i) != nullptr);
    const auto childrenA = a.Children(i);
    const auto childrenB = b.Children(i);
    d.Expect("children", i, std::vector<std::uint32_t>(childrenA.begin(), childrenA.end()),
             std::vector<std::uint32_t>(childrenB.begin(), childrenB.end()));
  }
  return d.Take();
}

core::ScanResult EveryKindOfNode() {
  core::ScanTreeBuilder builder;
  const std::u16string label = u"All local drives";
  const auto root = builder.AddRoot(label, label, 0x10, 0);
  const auto drive = builder.nodes.AddFolderWithPath(root, u"", u"C:\\", 0x16, 130000000000000001);
  const auto users = builder.AddDirectory(drive, u"Users", 0x10, 133000000000000000);
  const auto wide = builder.AddDirectory(users, u"\u0416\u0443\u0440\u043d\u0430\u043b \u65e5\u672c", 0x11, 1);
  builder.AddFile(wide, u"caf\u00e9.txt", 0x20, 12345, 2, 16384);
  builder.AddFile(wide, std::u16string(u"odd") + char16_t{0xD800} + u".bin", 0x20, 7, 3, 0);
  const auto linkA = builder.AddFile(users, u"one-name", 0x20, 5000, 4, 8192);
  const auto linkB = builder.AddFile(wide, u"other-name", 0x20, 5000, 4, 8192);
  builder.SetFileIdentity(linkA, 77, 3);
  builder.SetFileIdentity(linkB, 77, 3);
  const auto cloud = builder.AddFile(users, u"cloud.docx", 0x400420, 1 << 20, 5, 0);
  builder.nodes.MarkPlaceholder(cloud);
  const auto linux = builder.AddDirectory(drive, u"srv", 0x10, 6);
  builder.nodes.SetFolderOwnSize(linux, 4096, 4096);
  builder.AddFile(linux, u"big.iso", 0x21, 4'000'000'000ull, 7, 4'000'002'048ull);
  builder.AddDirectory(linux, u"empty", 0x10, 0);
  builder.AddIssue(u"C:\\Users\\locked", 5);
  builder.AddIssue(u"C:\\srv\\gone", 3);
  builder.ComputeTotals();
  core::ScanResult result = builder.BuildResult(core::ScanStatus::Cancelled, label, 1234);
  result.engine = core::ScanEngineKind::NtQueryDirectory;
  result.message = u"Stopped \u2014 by the user";
  result.scanTime = 133'500'000'000'000'000ull;
  result.space = core::VolumeSpace{500'000'000'000, 200'000'000'000, 300'000'000'000,
                                   190'000'000'000, 1'000'000'000,   2'000'000'000,
                                   7'000'000'000};
  return result;
}

}  // namespace ombrix::test
