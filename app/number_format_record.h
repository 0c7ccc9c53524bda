// How a locale writes numbers, as GetNumberFormatEx takes it (its
// NUMBERFMTW), and a platform-neutral rendering of a plain number text with
// such a record. Windows formats through the system call; the native build
// and the tests' fake locale database use ApplyNumberFormatRecord, which
// the Windows tests hold against the real call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ombrix::app {

struct NumberFormatRecord {
  std::uint32_t decimals = 0;
  std::uint32_t leadingZero = 1;  // 0 writes ".5"
  // Group sizes as decimal digits, least significant group first: 3 is
  // 123,456,789, 32 is 12,34,56,789, 0 no grouping. A last digit other
  // than 0 repeats.
  std::uint32_t grouping = 3;
  std::u16string decimalSeparator = u".";
  std::u16string thousandSeparator = u",";
  // 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -".
  std::uint32_t negativeOrder = 1;
};

// `number` is ASCII: an optional "-", digits, optionally "." and more
// digits. The fraction is rounded half up to the record's decimals. Nothing
// for any other text.
std::optional<std::u16string> ApplyNumberFormatRecord(std::u16string_view number,
                                                      const NumberFormatRecord& record);

}  // namespace ombrix::app
