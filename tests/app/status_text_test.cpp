#include "app/status_text.h"

#include <gtest/gtest.h>

#include "core/scan_tree_builder.h"
#include "i18n/language_environment.h"
#include "tests/app/fake_locale_queries.h"

namespace ombrix::app {
namespace {

// The shipped language files (copied beside the test) with the user
// preferring English, and a locale database that knows de-DE.
i18n::LanguageStrings ShippedStrings() {
  return i18n::LanguageStrings({[] { return std::vector<std::u16string>{u"en-US"}; },
                                i18n::SystemLanguageEnvironment().executableFolder});
}

const LocaleQueries& Locales() {
  static const LocaleQueries queries = testing::FakeLocaleQueries(
      {{std::nullopt, testing::kEnglishUs}, {u"de-DE", testing::kGerman}});
  return queries;
}

core::ScanResult Finished(core::ScanStatus status, std::int64_t elapsedMs) {
  core::ScanResult result;
  result.status = status;
  result.fileCount = 1234567;
  result.folderCount = 4321;
  result.issueCount = 2;
  result.elapsedMs = elapsedMs;
  return result;
}

TEST(StatusTextTest, ProgressLineFromTheControllersLatestProgress) {
  ControllerPlatform platform;
  platform.enumerateDrives = [] { return std::vector<DriveInfo>{}; };
  ApplicationController controller(std::move(platform));
  i18n::LanguageStrings strings = ShippedStrings();
  // Nothing reported yet, so no current path: the line ends after the folders.
  EXPECT_EQ(ProgressText(controller, strings, Locales()),
            u"Scanning... Files:\u00A00, Folders:\u00A00");
  {
    std::lock_guard lock(controller.scanMutex);
    controller.latestProgress = {u"C:\\Data", 1234, 56};
  }
  EXPECT_EQ(ProgressText(controller, strings, Locales()),
            u"Scanning... Files:\u00A01,234, Folders:\u00A056, Current:\u00A0C:\\Data");
}

// After a scan with a tree, what it found on disk; after a drive scan, set
// against the drive's used space with the difference named, in the words
// and order of the language.
// While drives are scanned the line says how much of their used space was
// found, never past all of it, before the current path.
TEST(StatusTextTest, ProgressLineAgainstTheUsedSpace) {
  i18n::LanguageStrings strings = ShippedStrings();
  core::ScanProgress progress{u"C:\\Data", 3, 1, 1536};
  EXPECT_EQ(ProgressText(progress, strings, Locales(), 6144),
            u"Scanning... Files:\u00A03, Folders:\u00A01, Found on disk: 1.5 KB of 6.0 KB used "
            u"(25.0 %), Current:\u00A0C:\\Data");
  progress.bytesOnDisk = 9000;
  EXPECT_NE(ProgressText(progress, strings, Locales(), 6144).find(u"(100.0 %)"),
            std::u16string::npos);
  EXPECT_EQ(ProgressText(progress, strings, Locales()).find(u"Found"), std::u16string::npos);
}

TEST(StatusTextTest, CompletionLineNamesTheSpaceOnDisk) {
  i18n::LanguageStrings strings = ShippedStrings();
  core::ScanTreeBuilder builder;
  builder.AddFile(builder.AddRoot(u"", u"C:\\", 0x10, 0), u"f", 0x20, 1000, 0, 2048);
  builder.ComputeTotals();
  const core::ScanResult counts = Finished(core::ScanStatus::Completed, 5);
  core::ScanResult result = builder.BuildResult(counts.status, u"C:\\", counts.elapsedMs);
  result.fileCount = counts.fileCount;
  result.folderCount = counts.folderCount;
  result.issueCount = counts.issueCount;
  const std::u16string line =
      u"Scan complete - Files:\u00A01,234,567, Folders:\u00A04,321, "
      u"Inaccessible:\u00A02, Elapsed:\u00A05\u00A0ms, ";
  EXPECT_EQ(CompletionText(result, strings, Locales()), line + u"On disk: 2.0 KB");
  result.space = core::DescribeSpace(10240, 8192, 2048, 1024, false);
  EXPECT_EQ(CompletionText(result, strings, Locales()),
            line + u"On disk: 2.0 KB of 8.0 KB used, metadata 1.0 KB, unreadable 0 B, "
                     u"unexplained 5.0 KB");
  strings.SetLanguage(u"de-DE");
  EXPECT_NE(CompletionText(result, strings, Locales()).find(u"Auf Datenträger: 2,0 KB von 8,0 KB belegt"),
            std::u16string::npos);
}

TEST(StatusTextTest, CompletionLine) {
  i18n::LanguageStrings strings = ShippedStrings();
  EXPECT_EQ(CompletionText(Finished(core::ScanStatus::Completed, 98765), strings, Locales()),
            u"Scan complete - Files:\u00A01,234,567, Folders:\u00A04,321, "
            u"Inaccessible:\u00A02, Elapsed:\u00A098,765\u00A0ms");
  // A cancelled scan keeps its partial counts; a clock that went backwards
  // shows 0.
  EXPECT_EQ(CompletionText(Finished(core::ScanStatus::Cancelled, -5), strings, Locales()),
            u"Scan cancelled - Files:\u00A01,234,567, Folders:\u00A04,321, "
            u"Inaccessible:\u00A02, Elapsed:\u00A00\u00A0ms");
}

// A scan that failed ends like any other, in the user's language, with the
// engine's own account of the failure after it; without one, the line
// alone.
TEST(StatusTextTest, FailedScanShowsTheCompletionLineThenTheEnginesDetail) {
  i18n::LanguageStrings strings = ShippedStrings();
  strings.SetLanguage(u"de-DE");
  core::ScanResult failed = Finished(core::ScanStatus::Failed, 7);
  failed.message = u"Not enough memory to finish the scan.";
  const std::u16string line = u"Scan abgeschlossen - Dateien:\u00A01.234.567, Ordner:\u00A04.321, "
                              u"Kein Zugriff:\u00A02, Dauer:\u00A07\u00A0ms";
  EXPECT_EQ(CompletionText(failed, strings, Locales()),
            line + u" - Not enough memory to finish the scan.");
  failed.message.clear();
  EXPECT_EQ(CompletionText(failed, strings, Locales()), line);
}

TEST(StatusTextTest, ALanguageSwitchChangesWordsAndNumbers) {
  i18n::LanguageStrings strings = ShippedStrings();
  strings.SetLanguage(u"de-DE");
  EXPECT_EQ(ProgressText({u"D:\\", 1234567, 1000}, strings, Locales()),
            u"Wird gescannt... Dateien:\u00A01.234.567, Ordner:\u00A01.000, Aktuell:\u00A0D:\\");
  EXPECT_EQ(CompletionText(Finished(core::ScanStatus::Completed, 1500), strings, Locales()),
            u"Scan abgeschlossen - Dateien:\u00A01.234.567, Ordner:\u00A04.321, "
            u"Kein Zugriff:\u00A02, Dauer:\u00A01.500\u00A0ms");
}

// A scan opened from a file names its root and the day it was taken, in
// the words of the language, before its completion line; an export
// without a date leaves the date out.
TEST(StatusTextTest, OpenedScanNamesItsRootAndDate) {
  i18n::LanguageStrings strings = ShippedStrings();
  core::ScanResult opened = Finished(core::ScanStatus::Completed, 1500);
  opened.rootPath = u"D:\\Data";
  const std::u16string completion = CompletionText(opened, strings, Locales());
  constexpr std::uint64_t kDecemberSeventh = 134'411'094'000'000'000ull;  // 2026-12-07 09:30
  EXPECT_EQ(OpenedScanText(opened, kDecemberSeventh, strings, Locales()),
            u"Saved scan of D:\\Data, 2026-12-07 09:30 - " + completion);
  EXPECT_EQ(OpenedScanText(opened, 0, strings, Locales()), u"Saved scan of D:\\Data - " + completion);
  strings.SetLanguage(u"de-DE");
  EXPECT_EQ(OpenedScanText(opened, kDecemberSeventh, strings, Locales())
                .rfind(u"Gespeicherter Scan von D:\\Data, 2026-12-07 09:30 - Scan abgeschlossen", 0),
            0u);
  // A comparison names the earlier scan before the line.
  EXPECT_EQ(ComparedText(u"E:\\Old", kDecemberSeventh, strings),
            u"Verglichen mit dem Scan von E:\\Old, 2026-12-07 09:30 - ");
  strings.SetLanguage(u"en-US");
  EXPECT_EQ(ComparedText(u"E:\\Old", 0, strings), u"Compared with the scan of E:\\Old - ");
}

}  // namespace
}  // namespace ombrix::app
