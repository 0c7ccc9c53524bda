#include "app/number_format_record.h"

#include <algorithm>
#include <vector>

namespace ombrix::app {

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool AllDigits(std::u16string_view text) { return std::all_of(text.begin(), text.end(), IsDigit); }

// Adds one to a digit string in place; true when it carried out of the top.
bool Increment(std::u16string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != u'9') {
      ++*it;
      return false;
    }
    *it = u'0';
  }
  return true;
}

std::u16string Grouped(std::u16string_view digits, std::uint32_t grouping,
                       std::u16string_view separator) {
  std::vector<std::size_t> sizes;
  for (char16_t c : std::to_string(grouping)) sizes.push_back(static_cast<std::size_t>(c - '0'));
  const bool repeatLast = sizes.back() != 0;
  if (!repeatLast) sizes.pop_back();

  // Cut groups from the right, then join them from the left.
  std::vector<std::u16string_view> groups;
  std::size_t end = digits.size();
  for (std::size_t i = 0; end > 0; ++i) {
    std::size_t size = i < sizes.size() ? sizes[i] : (repeatLast ? sizes.back() : 0);
    if (size == 0 || size > end) size = end;
    groups.push_back(digits.substr(end - size, size));
    end -= size;
  }
  std::u16string out;
  for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
    if (!out.empty()) out += separator;
    out += *it;
  }
  return out;
}

std::u16string Negative(std::u16string_view number, std::uint32_t order) {
  const std::u16string text(number);
  switch (order) {
    case 0:
      return u"(" + text + u")";
    case 2:
      return u"- " + text;
    case 3:
      return text + u"-";
    case 4:
      return text + u" -";
    default:
      return u"-" + text;
  }
}

}  // namespace

std::optional<std::u16string> ApplyNumberFormatRecord(std::u16string_view number,
                                                      const NumberFormatRecord& record) {
  const bool negative = !number.empty() && number.front() == u'-';
  if (negative) number.remove_prefix(1);
  const std::size_t point = number.find(u'.');
  std::u16string integer(number.substr(0, point));
  std::u16string fraction(point == std::u16string_view::npos ? std::u16string_view()
                                                             : number.substr(point + 1));
  if ((integer.empty() && fraction.empty()) || !AllDigits(integer) || !AllDigits(fraction)) {
    return std::nullopt;
  }

  const bool roundUp = fraction.size() > record.decimals && fraction[record.decimals] >= u'5';
  fraction.resize(record.decimals, u'0');
  if (roundUp && Increment(fraction)) {
    if (Increment(integer)) integer.insert(integer.begin(), u'1');
  }
  integer.erase(0, std::min(integer.find_first_not_of(u'0'), integer.size()));

  std::u16string text = Grouped(integer, record.grouping, record.thousandSeparator);
  if (text.empty() && (record.leadingZero != 0 || record.decimals == 0)) text.push_back(u'0');
  if (record.decimals > 0) text += record.decimalSeparator + fraction;
  // Like the system call, a negative zero keeps its sign: "-0.0".
  return negative ? Negative(text, record.negativeOrder) : text;
}

}  // namespace ombrix::app
