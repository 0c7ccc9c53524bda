// The status bar's two lines: progress while a scan runs, the summary once
// it has ended. Both are composed afresh from language texts and formatted
// numbers every time they are shown, so a language change re-renders them;
// nothing is stored here. The separators ", " and " - " are fixed; any
// space or colon between a label and its value is part of the label's text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/application_controller.h"
#include "app/locale_queries.h"
#include "core/scan_model.h"
#include "i18n/language_strings.h"

namespace ombrix::app {

// "Scanning... Files: 1,234, Folders: 56, Current: C:\Windows"; the current
// path item only when the progress names one. While drives are scanned
// (usedSpace set) what was found on disk so far, against their used space,
// comes before the path.
std::u16string ProgressText(const core::ScanProgress& progress, i18n::LanguageStrings& strings,
                            const LocaleQueries& locale = SystemLocaleQueries(),
                            std::optional<std::uint64_t> usedSpace = std::nullopt);
// The same for the controller's latest progress, copied under its mutex.
std::u16string ProgressText(ApplicationController& controller, i18n::LanguageStrings& strings,
                            const LocaleQueries& locale = SystemLocaleQueries(),
                            std::optional<std::uint64_t> usedSpace = std::nullopt);

// "Scan complete - Files: 4, Folders: 3, Inaccessible: 1, Elapsed: 42 ms";
// the cancelled word for a cancelled scan, with the partial counts; a
// failed scan's line ends in " - " and the engine's message.
std::u16string CompletionText(const core::ScanResult& result, i18n::LanguageStrings& strings,
                              const LocaleQueries& locale = SystemLocaleQueries());

// "Saved scan of C:\Data, 2026-12-01 09:30 - " and the completion line: a
// scan opened from a file says what it shows and when it was taken (an
// export without a date leaves the date out).
// localScanTime is the result's scanTime shifted into the shown time zone.
std::u16string OpenedScanText(const core::ScanResult& result, std::uint64_t localScanTime,
                              i18n::LanguageStrings& strings,
                              const LocaleQueries& locale = SystemLocaleQueries());

// "Compared with the scan of C:\Data, 2026-12-01 09:30 - ", put before the
// line the window shows for the result while a comparison is shown.
// localScanTime as above; 0 leaves the date out.
std::u16string ComparedText(std::u16string_view earlierRoot, std::uint64_t localScanTime,
                            i18n::LanguageStrings& strings);

}  // namespace ombrix::app
