// The names of one result, back to back in a few large blocks and addressed
// by offset (node_name.h says how each is encoded). Tens of millions of
// names then cost a few hundred allocations instead of one each; growing
// never copies a name, and two arenas join by moving blocks, so a merged
// scan or an engine's decoded names become a result's without a copy.
//
// Not thread-safe: one writer at a time; reads of names already written may
// run on any number of threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/node_name.h"

namespace ombrix::core {

class NameArena {
 public:
  NameArena() = default;
  NameArena(NameArena&&) noexcept = default;
  NameArena& operator=(NameArena&&) noexcept = default;
  NameArena(const NameArena&) = delete;
  NameArena& operator=(const NameArena&) = delete;

  // Stores name (at most kMaxNameLength units); returns its offset.
  std::uint64_t Append(std::u16string_view name);
  // Stores the name of `units` UTF-16 units at `bytes`, little-endian, as
  // they lie in an NTFS record: one pass to choose the form, one to copy.
  std::uint64_t AppendUtf16Le(const std::uint8_t* bytes, std::size_t units);
  // Stores a copy of a name held by another arena; returns its offset here.
  std::uint64_t AppendCopy(const NodeName& name);

  NodeName At(std::uint64_t offset) const {
    return NodeName::Decode(blocks_[offset >> kPositionBits].bytes.get() +
                            (offset & kPositionMask));
  }

  // Moves other's blocks behind this arena's. Returns what to add to an
  // offset of other's to address the same name here.
  std::uint64_t Adopt(NameArena&& other);

  // For names already in this arena's form that the caller writes straight
  // into place (a saved scan's names, decompressed into the block): appends
  // a block of capacity bytes (at most kPositionMask), all of it in use, and
  // returns them. The name at position p of the block is at offset
  // LastBlockOffset() + p; TrimLastBlock gives back the block's unused end.
  std::uint8_t* AddFilledBlock(std::size_t capacity);
  std::uint64_t LastBlockOffset() const {
    return blocks_.empty() ? 0 : std::uint64_t{blocks_.size() - 1} << kPositionBits;
  }
  void TrimLastBlock(std::size_t used);

  // Forgets every name but keeps the blocks for the next ones.
  void Clear();

  // Makes room for about bytes of names in one block, so that a known
  // amount of names starts with one allocation instead of a few doubling
  // ones. A block that large is faulted in by the system page by page, as
  // it is written.
  void ReserveBlock(std::size_t bytes);

  // Where the next name goes; RollBack forgets every name stored since.
  struct Mark {
    std::size_t block = 0;
    std::uint32_t used = 0;
  };
  Mark Position() const;
  void RollBack(const Mark& mark);

  // Bytes the names take, headers included; and bytes the blocks hold.
  std::uint64_t UsedBytes() const;
  std::uint64_t AllocatedBytes() const;

  static constexpr unsigned kPositionBits = 24;
  static constexpr std::uint64_t kPositionMask = (std::uint64_t{1} << kPositionBits) - 1;

 private:
  struct Block {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::uint32_t capacity = 0;
    std::uint32_t used = 0;
  };

  // Room for length more bytes in the current block (a new block when it
  // has none); returns where they go and sets offset.
  std::uint8_t* Reserve(std::size_t length, std::uint64_t& offset);
  bool CurrentBlockHas(std::size_t length) const;
  void AddBlock(std::uint64_t capacity);

  std::vector<Block> blocks_;
  std::size_t current_ = 0;  // the block names are appended to
};

}  // namespace ombrix::core
