// Feeds arbitrary text to the find's parsers (the filter box's line, sizes,
// dates) and matches the pattern it gives against an arbitrary name. The
// first byte says how many UTF-16 units of the rest are the query; the
// units after it are the name. A name must match the same way however it
// is stored (one byte a unit or two) and in whatever case it is written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/find/find_query.h"
#include "base/name_case.h"
#include "core/name_arena.h"

namespace {

std::u16string UnitsOf(const std::uint8_t* bytes, std::size_t count) {
  std::u16string units;
  for (std::size_t i = 0; i < count; ++i) {
    units.push_back(static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
  }
  return units;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ombrix;
  if (size < 1) return 0;
  const std::size_t units = (size - 1) / 2;
  const std::size_t queryUnits = data[0] < units ? data[0] : units;
  const std::u16string query = UnitsOf(data + 1, queryUnits);
  std::u16string name = UnitsOf(data + 1 + 2 * queryUnits, units - queryUnits);
  if (name.size() > core::kMaxNameLength) name.resize(core::kMaxNameLength);

  app::ParseSizeText(query);
  app::ParseDateText(query);
  const app::ParsedFindText parsed = app::ParseFindText(query);
  if (parsed.query.has_value() != parsed.badWord.empty()) std::abort();
  const app::NamePattern pattern = app::NamePattern::Parse(query);

  core::NameArena arena;
  const core::NodeName stored = arena.At(arena.Append(name));
  const bool matches = pattern.Matches(std::u16string_view(name));
  if (pattern.Matches(stored) != matches) std::abort();
  std::u16string folded;
  for (const char16_t unit : name) folded.push_back(base::FoldNameUnit(unit));
  if (pattern.Matches(std::u16string_view(folded)) != matches) std::abort();
  return 0;
}
