#include "core/name_arena.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace ombrix::core {

namespace {

// Blocks start small (a test's tree, a folder of a few files) and double up
// to a few MiB; a block that large is allocated lazily by the system, page
// by page, so its unused tail costs nothing.
constexpr std::uint32_t kFirstBlockLength = 4096;
constexpr std::uint32_t kLargestBlockLength = 4u << 20;

}  // namespace

void NameArena::AddBlock(std::uint64_t capacity) {
  Block block;
  block.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
  block.capacity = static_cast<std::uint32_t>(capacity);
  blocks_.push_back(std::move(block));
  current_ = blocks_.size() - 1;
}

bool NameArena::CurrentBlockHas(std::size_t length) const {
  return current_ < blocks_.size() && blocks_[current_].capacity - blocks_[current_].used >= length;
}

std::uint8_t* NameArena::Reserve(std::size_t length, std::uint64_t& offset) {
  if (length > NameArena::kPositionMask) throw std::length_error("name too long for an arena");
  // After Clear, the blocks already there are used again in turn.
  while (!CurrentBlockHas(length) && current_ + 1 < blocks_.size()) ++current_;
  if (!CurrentBlockHas(length)) {
    const std::uint64_t previous = blocks_.empty() ? 0 : blocks_.back().capacity;
    AddBlock(std::max<std::uint64_t>(
        length, std::clamp<std::uint64_t>(2 * previous, kFirstBlockLength, kLargestBlockLength)));
  }
  Block& block = blocks_[current_];
  offset = (std::uint64_t{current_} << kPositionBits) | block.used;
  std::uint8_t* out = block.bytes.get() + block.used;
  block.used += static_cast<std::uint32_t>(length);
  return out;
}

std::uint64_t NameArena::Append(std::u16string_view name) {
  if (name.size() > kMaxNameLength) throw std::length_error("name too long for an arena");
  std::uint64_t offset = 0;
  EncodeName(name, Reserve(EncodedNameLength(name), offset));
  return offset;
}

std::uint64_t NameArena::AppendUtf16Le(const std::uint8_t* bytes, std::size_t units) {
  if (units > kMaxNameLength) throw std::length_error("name too long for an arena");
  bool wide = false;
  for (std::size_t i = 0; i < units; ++i) wide |= bytes[2 * i + 1] != 0;
  std::uint64_t offset = 0;
  std::uint8_t* out = Reserve(NameHeaderLength(units, wide) + units * (wide ? 2 : 1), offset);
  out += WriteNameHeader(units, wide, out);
  if (!wide) {
    for (std::size_t i = 0; i < units; ++i) out[i] = bytes[2 * i];
  } else if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, bytes, 2 * units);
  } else {
    for (std::size_t i = 0; i < units; ++i) {
      const auto unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
      std::memcpy(out + 2 * i, &unit, 2);
    }
  }
  return offset;
}

std::uint64_t NameArena::AppendCopy(const NodeName& name) {
  std::uint64_t offset = 0;
  const std::size_t length = name.EncodedLength();
  std::copy_n(name.EncodedStart(), length, Reserve(length, offset));
  return offset;
}

std::uint64_t NameArena::Adopt(NameArena&& other) {
  const std::uint64_t shift = std::uint64_t{blocks_.size()} << kPositionBits;
  if (other.blocks_.empty()) return shift;
  for (Block& block : other.blocks_) blocks_.push_back(std::move(block));
  current_ = blocks_.size() - 1;
  other.blocks_.clear();
  other.current_ = 0;
  return shift;
}

std::uint8_t* NameArena::AddFilledBlock(std::size_t capacity) {
  if (capacity > kPositionMask) throw std::length_error("block too large for an arena");
  AddBlock(capacity);
  blocks_.back().used = static_cast<std::uint32_t>(capacity);
  return blocks_.back().bytes.get();
}

void NameArena::TrimLastBlock(std::size_t used) {
  if (!blocks_.empty() && used < blocks_.back().used) {
    blocks_.back().used = static_cast<std::uint32_t>(used);
  }
}

void NameArena::ReserveBlock(std::size_t bytes) {
  const std::uint64_t capacity = std::min<std::uint64_t>(bytes, kPositionMask);
  if (!CurrentBlockHas(capacity)) AddBlock(capacity);
}

void NameArena::Clear() {
  for (Block& block : blocks_) block.used = 0;
  current_ = 0;
}

NameArena::Mark NameArena::Position() const {
  if (blocks_.empty()) return {};
  return {current_, blocks_[current_].used};
}

void NameArena::RollBack(const Mark& mark) {
  if (blocks_.empty()) return;
  for (std::size_t b = mark.block + 1; b < blocks_.size(); ++b) blocks_[b].used = 0;
  blocks_[mark.block].used = mark.used;
  current_ = mark.block;
}

std::uint64_t NameArena::UsedBytes() const {
  std::uint64_t used = 0;
  for (const Block& block : blocks_) used += block.used;
  return used;
}

std::uint64_t NameArena::AllocatedBytes() const {
  std::uint64_t allocated = 0;
  for (const Block& block : blocks_) allocated += block.capacity;
  return allocated;
}

}  // namespace ombrix::core
