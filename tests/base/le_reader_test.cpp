#include "base/le_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace ombrix::base {
namespace {

TEST(LeReaderTest, ReadsLittleEndianAtAnyOffset) {
  const std::uint8_t bytes[] = {0xFF, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x88};
  const base::LeReader reader(bytes, sizeof bytes);
  EXPECT_EQ(*reader.U16(1), 0x0201u);
  EXPECT_EQ(*reader.U32(1), 0x04030201u);
  EXPECT_EQ(*reader.U64(1), 0x8807060504030201ull);
  EXPECT_EQ(*reader.I64(1), static_cast<std::int64_t>(0x8807060504030201ull));
  EXPECT_EQ(*reader.UnsignedN(6, 3), 0x880706u);
}

TEST(LeReaderTest, SignExtendsFromTheLastByte) {
  const std::uint8_t bytes[] = {0x00, 0xF0, 0xFF, 0x7F, 0x80};
  const base::LeReader reader(bytes, sizeof bytes);
  EXPECT_EQ(*reader.SignedN(0, 2), -4096);
  EXPECT_EQ(*reader.SignedN(2, 2), 0x7FFF);
  EXPECT_EQ(*reader.SignedN(4, 1), -128);
  EXPECT_EQ(*reader.SignedN(0, 5), static_cast<std::int64_t>(0xFFFFFF807FFFF000ull));
}

TEST(LeReaderTest, RefusesEverythingOutsideTheBuffer) {
  const std::uint8_t bytes[8] = {};
  const base::LeReader reader(bytes, sizeof bytes);
  constexpr std::uint64_t kHuge = std::numeric_limits<std::uint64_t>::max();
  EXPECT_FALSE(reader.U64(1));
  EXPECT_FALSE(reader.U16(7));
  EXPECT_FALSE(reader.U8(8));
  EXPECT_FALSE(reader.U32(kHuge - 1));  // offset + width would wrap around
  EXPECT_FALSE(reader.Slice(4, kHuge));
  EXPECT_FALSE(reader.UnsignedN(0, 0));
  EXPECT_FALSE(reader.SignedN(0, 9));
  EXPECT_TRUE(reader.Slice(8, 0));
  EXPECT_EQ(reader.Slice(2, 4)->Length(), 4u);
  EXPECT_FALSE(reader.Slice(2, 4)->U32(1));
  EXPECT_FALSE(base::LeReader(nullptr, 100).U8(0));
}

}  // namespace
}  // namespace ombrix::base
