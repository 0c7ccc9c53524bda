// The name part of a find: one or more patterns separated by ';', each with
// '*' (any run of units, none included) and '?' (exactly one unit),
// compared case-insensitively as Windows compares names (base/name_case.h).
// A pattern without a wildcard matches names that contain it, as a search
// box does ("report" finds "Q3 report.pdf"); "*.*" matches every name, as
// it does on Windows, names without a dot included.
//
// Matching runs on the names as the result stores them (NodeName), with no
// string made per name: a find visits every file of a volume. Each pattern
// is kept as its literal runs between the stars, already folded; a name
// matches when the first run starts it, the last run ends it and the runs
// between are found in order, each at its leftmost place (which is optimal
// for runs separated by stars). The last run is tried first: for "*.iso"
// that is the whole test, and it rejects most names after a few units.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/node_name.h"

namespace ombrix::app {

class NamePattern {
 public:
  // Matches every name.
  NamePattern() = default;
  // Patterns separated by ';', each trimmed of spaces; empty ones are left
  // out, and text of none at all matches every name.
  static NamePattern Parse(std::u16string_view text);

  bool MatchesEverything() const { return matchesEverything_; }
  bool Matches(const core::NodeName& name) const;
  bool Matches(std::u16string_view name) const;

 private:
  struct Alternative {
    // Literal runs between stars, folded; '?' stands for any one unit.
    std::vector<std::u16string> runs;
    // True when the pattern has a star: then the first run starts the name
    // and the last ends it, otherwise the one run is the whole name.
    bool hasStar = false;
    std::size_t literalLength = 0;  // units in all runs together
  };

  static Alternative ParseAlternative(std::u16string_view text);
  template <typename FoldedName>
  bool MatchesFolded(const FoldedName& name) const;
  template <typename FoldedName>
  static bool AlternativeMatches(const Alternative& alternative, const FoldedName& name);

  std::vector<Alternative> alternatives_;
  bool matchesEverything_ = true;
};

}  // namespace ombrix::app
