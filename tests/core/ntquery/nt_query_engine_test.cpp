// What is particular to the directory-query engine (its shared promises are
// in engine_contract_test.cpp): the worker count, listings that fail or come
// back malformed part-way, a missing ntdll export, workers the system will
// not start, and folders larger than one query buffer.
#include "core/ntquery/nt_query_engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <memory>
#include <new>
#include <set>
#include <string>

#include "base/text_encoding.h"
#include "base/thread_starter.h"
#include "tests/core/ntquery/fake_directory_lister.h"
#include "tests/support/failing_allocator.h"

namespace ombrix::core {
namespace {

using test::FakeDirectoryLister;

std::u16string Numbered(const char* stem, int i) {
  return base::FromUtf8(stem + std::to_string(i));
}

ScanResult ScanWith(std::shared_ptr<FakeDirectoryLister> lister, std::uint64_t threads,
                    base::ThreadStarter startThread = base::StartStdThread) {
  NtQueryDirectoryScanEngine engine(threads, std::move(lister), std::move(startThread));
  ScanCancellationToken token;
  return engine.Scan(u"R:\\d", token, {});
}

// R:\d holds a folder sub with one file, then ten files f0..f9.
std::shared_ptr<FakeDirectoryLister> TenFiles() {
  auto lister = std::make_shared<FakeDirectoryLister>();
  lister->AddFolder(u"R:\\d", u"sub");
  lister->AddFile(u"R:\\d\\sub", u"s", 100);
  for (int i = 0; i < 10; ++i) lister->AddFile(u"R:\\d", Numbered("f", i), 1);
  return lister;
}

// Sizes on disk come from each entry's AllocationSize; names with one file
// id are one file, counted once on disk above them; placeholders (a cloud
// tag or a recall attribute) are marked. Logical totals count every name.
TEST(NtQueryEngineTest, SizesOnDiskLinkedNamesAndPlaceholders) {
  auto lister = std::make_shared<FakeDirectoryLister>();
  lister->AddFolder(u"R:\\d", u"a");
  lister->AddFolder(u"R:\\d", u"b");
  lister->AddFile(u"R:\\d\\a", {u"link", false, 5000, 0, 8192, 0x1000000000077});
  lister->AddFile(u"R:\\d\\b", {u"link too", false, 5000, 0, 8192, 0x1000000000077});
  lister->AddFile(u"R:\\d\\b", {u"sparse", false, 1u << 30, 0x200, 65536, 78});
  lister->AddFile(u"R:\\d", {u"cloud", false, 900000, 0x400, 0, 79, 0x9000601A});
  lister->AddFile(u"R:\\d", {u"recall", false, 700000, 0x400000, 4096, 80});
  lister->AddFile(u"R:\\d", {u"tagged otherwise", false, 10, 0x400, 4096, 81, 0xA000000C});
  for (const std::uint64_t threads : {1u, 4u}) {
    const ScanResult r = ScanWith(lister, threads);
    const ScanNodes& nodes = r.nodes;
    EXPECT_EQ(nodes.TotalSize(r.rootIndex), 10000u + (1u << 30) + 900000 + 700000 + 10);
    EXPECT_EQ(nodes.SizeOnDisk(r.rootIndex), 8192u + 65536 + 0 + 4096 + 4096) << threads;
    for (std::uint64_t i = 0; i < nodes.size(); ++i) {
      const std::u16string name = nodes.Name(i).ToString();
      EXPECT_EQ(nodes.LinkCount(i), name.starts_with(u"link") ? 2u : 0u) << threads;
      EXPECT_EQ(nodes.IsPlaceholder(i), name == u"cloud" || name == u"recall") << threads;
    }
  }
}

TEST(NtQueryEngineTest, WorkerCountDefaultsAndCaps) {
  const std::pair<std::uint64_t, std::uint64_t> cases[] = {{0, 8}, {1, 1}, {64, 64}, {65, 64}};
  for (const auto& [setting, workers] : cases) {
    EXPECT_EQ(NtQueryDirectoryScanEngine::WorkerCount(setting), workers) << setting;
  }
}

// A drive root gets the large node reservation; nothing else may.
TEST(NtQueryEngineTest, OnlyDrivesAreDriveRoots) {
  const std::pair<const char16_t*, bool> cases[] = {
      {u"C:", true},    {u"C:\\", true}, {u"C:/", true},    {u"C:\\x", false},
      {u"CD\\", false}, {u"C:x", false}, {u"\\\\a", false}, {u"", false}};
  for (const auto& [path, isRoot] : cases) {
    EXPECT_EQ(NtQueryDirectoryScanEngine::IsDriveRoot(path), isRoot);
  }
}

// A listing that fails part-way keeps what earlier batches added and records
// one issue with the mapped error (5 when the mapper is missing); a batch
// whose records do not fit the bytes returned ends the listing the same way
// (13), since asking again could return the same bytes forever.
TEST(NtQueryEngineTest, ListingThatFailsPartWayKeepsWhatCameBefore) {
  struct Case {
    const char* what;
    NtStatus status;  // 0: a malformed second batch instead
    bool hasMapper;
    std::uint64_t files;
    std::uint32_t error;
  };
  const Case cases[] = {
      // Two batches of four entries arrive: sub and seven files.
      {"device error", test::kStatusIoDeviceError, true, 7, test::kErrorIoDevice},
      {"no mapper", test::kStatusIoDeviceError, false, 7, 5},
      // A warning such as STATUS_BUFFER_OVERFLOW is not success either.
      {"warning status", 0x80000005, true, 7, 317},
      // Batch 1 whole, batch 2 without its damaged last record.
      {"malformed batch", 0, true, 6, 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto lister = TenFiles();
    lister->maxEntriesPerBatch = 4;
    lister->hasMapper = c.hasMapper;
    if (c.status != 0) {
      lister->listingFailures[u"R:\\d"] = test::FakeListingFailure{2, c.status};
    } else {
      lister->malformedFolders.insert(u"R:\\d");
    }
    const ScanResult result = ScanWith(lister, 2);
    EXPECT_EQ(result.status, ScanStatus::Completed);
    EXPECT_EQ(result.fileCount, c.files + 1) << "sub's file is listed all the same";
    ASSERT_EQ(result.issues.size(), 1u);
    EXPECT_EQ(result.issues[0].path, u"R:\\d");
    EXPECT_EQ(result.issues[0].errorCode, c.error);
    EXPECT_EQ(lister->liveHandles.load(), 0);
  }
}

TEST(NtQueryEngineTest, MissingQueryCallLeavesTheRootAndOneIssue) {
  auto lister = TenFiles();
  lister->hasQueryCall = false;
  int started = 0;
  const ScanResult result = ScanWith(lister, 8, [&](std::function<void()>, std::thread&) {
    ++started;
    return false;
  });
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_EQ(result.nodes.size(), 1u);
  ASSERT_EQ(result.issues.size(), 1u);
  EXPECT_EQ(result.issues[0].errorCode, 127u);
  EXPECT_EQ(started, 0);
  EXPECT_EQ(lister->openCount.load(), 0u);
}

// A thread that cannot be started now will not start a moment later: the
// scan goes on with the workers it has, or on the scan thread itself.
TEST(NtQueryEngineTest, RunsWithTheWorkersThatStarted) {
  for (const int available : {0, 2}) {
    SCOPED_TRACE(available);
    std::atomic<int> attempts{0};
    const ScanResult result =
        ScanWith(TenFiles(), 8, [&](std::function<void()> body, std::thread& thread) {
          if (attempts++ == available) return false;
          return base::StartStdThread(std::move(body), thread);
        });
    EXPECT_EQ(attempts.load(), available + 1);
    EXPECT_EQ(result.status, ScanStatus::Completed);
    EXPECT_EQ(result.fileCount, 11u);
    EXPECT_EQ(result.nodes[result.rootIndex].TotalSize(), 110u);
  }
}

// A worker that runs out of memory must not take the process with it: the
// pool ends, every worker is joined, and the failure reaches the scan
// thread, whose owner turns it into a failed result.
TEST(NtQueryEngineTest, WorkerOutOfMemoryEndsThePoolAndReachesTheScanThread) {
  for (const std::uint64_t successes : {0u, 40u, 400u}) {
    SCOPED_TRACE(successes);
    auto lister = std::make_shared<FakeDirectoryLister>();
    for (int d = 0; d < 30; ++d) {
      const std::u16string folder = u"R:\\d\\" + Numbered("s", d);
      lister->AddFolder(u"R:\\d", Numbered("s", d));
      for (int f = 0; f < 20; ++f) lister->AddFile(folder, Numbered("f", f), 1);
    }
    NtQueryDirectoryScanEngine engine(4, lister);
    ScanCancellationToken token;
    test::AllocationFailureScope outOfMemory(successes, test::FailingThreads::OthersThanArming);
    EXPECT_THROW(engine.Scan(u"R:\\d", token, {}), std::bad_alloc);
    EXPECT_EQ(lister->liveHandles.load(), 0);
  }
}

// Names the classic path parser would rewrite (a trailing dot or space, a
// device name) reach the lister exactly as listed, below the root's system
// form; the nodes keep the plain paths.
TEST(NtQueryEngineTest, OddNamesReachTheListerAsListed) {
  auto lister = std::make_shared<FakeDirectoryLister>();
  lister->systemPrefix = u"\\\\?\\";
  for (const std::u16string name : {u"dots.", u"space ", u"CON", u"NUL.txt"}) {
    lister->AddFolder(u"\\\\?\\R:\\d", name);
    lister->AddFile(u"\\\\?\\R:\\d\\" + name, u"f", 1);
  }
  const ScanResult result = ScanWith(lister, 2);
  EXPECT_EQ(result.fileCount, 4u);
  EXPECT_TRUE(result.issues.empty());
  for (const ScanNode& node : result.nodes) {
    EXPECT_EQ(node.Path().rfind(u"R:\\d", 0), 0u) << base::ToUtf8(node.Path());
  }
  EXPECT_TRUE(lister->WasOpened(u"\\\\?\\R:\\d\\space "));
}

TEST(NtQueryEngineTest, LargeFolderIsListedAcrossBatchesWithoutLossOrRepeat) {
  auto lister = std::make_shared<FakeDirectoryLister>();
  const std::u16string longTail(110, u'x');
  for (int i = 0; i < 5000; ++i) {
    lister->AddFile(u"R:\\d", Numbered("f", i) + longTail, static_cast<std::uint64_t>(i));
  }
  const ScanResult result = ScanWith(lister, 8);
  ASSERT_EQ(result.fileCount, 5000u);
  std::set<std::u16string> names;
  for (const ScanNode& node : result.nodes) names.insert(node.Name().ToString());
  EXPECT_EQ(names.size(), 5001u);
  EXPECT_EQ(result.nodes[result.rootIndex].TotalSize(), 4999u * 5000u / 2);
  EXPECT_EQ(lister->restartQueries.load(), 1u);  // one restart, then continuation calls
}

}  // namespace
}  // namespace ombrix::core
