// A name read unit by unit already folded to uppercase (base/name_case.h),
// the way a find compares names: most names are stored at one byte a unit,
// and those fold through a table, with no branch on the storage per unit.
// WithFoldedName hands the callee the right view for the name's storage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/name_case.h"
#include "core/node_name.h"

namespace ombrix::app {

class NarrowFoldedName {
 public:
  NarrowFoldedName(const std::uint8_t* units, std::size_t length)
      : units_(units), length_(length) {}
  std::size_t size() const { return length_; }
  char16_t operator[](std::size_t i) const { return base::kFoldedLatin1Units[units_[i]]; }

 private:
  const std::uint8_t* units_;
  std::size_t length_;
};

// Any other name: a stored one of two bytes a unit, or text.
template <typename Name>
class FoldedName {
 public:
  explicit FoldedName(const Name& name) : name_(name) {}
  std::size_t size() const { return name_.size(); }
  char16_t operator[](std::size_t i) const { return base::FoldNameUnit(name_[i]); }

 private:
  const Name& name_;
};

template <typename Use>
decltype(auto) WithFoldedName(const core::NodeName& name, Use&& use) {
  if (!name.IsWide()) return use(NarrowFoldedName(name.Units(), name.size()));
  return use(FoldedName<core::NodeName>(name));
}

template <typename Use>
decltype(auto) WithFoldedName(std::u16string_view name, Use&& use) {
  return use(FoldedName<std::u16string_view>(name));
}

}  // namespace ombrix::app
