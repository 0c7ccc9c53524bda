#include "app/find/name_pattern.h"

#include <utility>

#include "app/find/folded_name.h"
#include "base/name_case.h"

namespace ombrix::app {
namespace {

constexpr char16_t kAnyUnit = u'?';
constexpr char16_t kAnyRun = u'*';

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
  return text;
}

// The run matches the folded name's units from `at` on (the caller checked
// that they are there).
template <typename FoldedName>
bool RunMatchesAt(const std::u16string& run, const FoldedName& name, std::size_t at) {
  for (std::size_t k = 0; k < run.size(); ++k) {
    if (run[k] != kAnyUnit && name[at + k] != run[k]) return false;
  }
  return true;
}

}  // namespace

NamePattern::Alternative NamePattern::ParseAlternative(std::u16string_view text) {
  Alternative alternative;
  bool wildcard = false;
  for (const char16_t unit : text) wildcard = wildcard || unit == kAnyRun || unit == kAnyUnit;
  // Search-box text: a pattern without wildcards is looked for anywhere in
  // the name.
  std::u16string pattern = wildcard ? std::u16string(text) : u"*" + std::u16string(text) + u"*";
  if (pattern == u"*.*") pattern = u"*";
  alternative.runs.emplace_back();
  for (const char16_t unit : pattern) {
    if (unit == kAnyRun) {
      alternative.hasStar = true;
      alternative.runs.emplace_back();
      continue;
    }
    alternative.runs.back().push_back(unit == kAnyUnit ? kAnyUnit : base::FoldNameUnit(unit));
    ++alternative.literalLength;
  }
  return alternative;
}

NamePattern NamePattern::Parse(std::u16string_view text) {
  NamePattern pattern;
  while (true) {
    const std::size_t separator = text.find(u';');
    const std::u16string_view part = Trimmed(text.substr(0, separator));
    if (!part.empty()) {
      Alternative alternative = ParseAlternative(part);
      // A lone star (or "*.*") matches every name, and so does the whole
      // pattern then.
      const bool everything = alternative.hasStar && alternative.literalLength == 0;
      if (everything) {
        pattern.alternatives_.clear();
        pattern.matchesEverything_ = true;
        return pattern;
      }
      pattern.alternatives_.push_back(std::move(alternative));
      pattern.matchesEverything_ = false;
    }
    if (separator == std::u16string_view::npos) break;
    text.remove_prefix(separator + 1);
  }
  return pattern;
}

template <typename FoldedName>
bool NamePattern::AlternativeMatches(const Alternative& alternative, const FoldedName& name) {
  const std::size_t length = name.size();
  if (length < alternative.literalLength) return false;
  const std::vector<std::u16string>& runs = alternative.runs;
  if (!alternative.hasStar) {
    return length == runs.front().size() && RunMatchesAt(runs.front(), name, 0);
  }
  const std::u16string& last = runs.back();
  std::size_t end = length - last.size();
  if (!RunMatchesAt(last, name, end)) return false;
  const std::u16string& first = runs.front();
  if (!RunMatchesAt(first, name, 0)) return false;
  std::size_t at = first.size();
  for (std::size_t r = 1; r + 1 < runs.size(); ++r) {
    const std::u16string& run = runs[r];
    while (true) {
      if (at + run.size() > end) return false;
      if (RunMatchesAt(run, name, at)) break;
      ++at;
    }
    at += run.size();
  }
  return true;
}

template <typename FoldedName>
bool NamePattern::MatchesFolded(const FoldedName& name) const {
  for (const Alternative& alternative : alternatives_) {
    if (AlternativeMatches(alternative, name)) return true;
  }
  return false;
}

bool NamePattern::Matches(const core::NodeName& name) const {
  if (matchesEverything_) return true;
  return WithFoldedName(name, [this](const auto& folded) { return MatchesFolded(folded); });
}

bool NamePattern::Matches(std::u16string_view name) const {
  if (matchesEverything_) return true;
  return WithFoldedName(name, [this](const auto& folded) { return MatchesFolded(folded); });
}

}  // namespace ombrix::app
