// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the block field reference: every kind read and written with literal bytes, the
// neighbouring bytes untouched.
#include "settings/block_field.h"

#include <gtest/gtest.h>

#include <vector>

namespace kdsp::settings {
namespace {

struct Case {
  FieldKind kind;
  std::vector<std::uint8_t> before;  // the field's bytes before the write
  std::int64_t written;
  std::vector<std::uint8_t> after;
  std::int64_t read;  // what the field reads after the write
};

TEST(BlockField, WritesAndReadsEachKindLittleEndian) {
  const Case cases[] = {
      {FieldKind::kInt16, {0, 0}, 300, {0x2C, 0x01}, 300},
      {FieldKind::kInt16, {0, 0}, -20, {0xEC, 0xFF}, -20},
      {FieldKind::kUint16, {0, 0}, 0xFFFF, {0xFF, 0xFF}, 0xFFFF},
      {FieldKind::kLow7, {0x80}, 80, {0xD0}, 80},   // the mute bit stays
      {FieldKind::kLow7, {0x7F}, 0x85, {0x05}, 5},  // only 7 bits of the value
      {FieldKind::kByte, {0x00}, 0x1FE, {0xFE}, 0xFE},
      {FieldKind::kUint32, {0, 0, 0, 0}, 100000, {0xA0, 0x86, 0x01, 0x00}, 100000},
      {FieldKind::kUint32, {0, 0, 0, 0}, 0xFFFFFFFF, {0xFF, 0xFF, 0xFF, 0xFF}, 0xFFFFFFFF},
  };
  constexpr std::size_t kAt = 100;
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    ParameterBlock block{};
    block.bytes()[kAt - 1] = 0xAA;
    block.bytes()[kAt + c.before.size()] = 0xBB;
    std::copy(c.before.begin(), c.before.end(), block.bytes().begin() + kAt);
    const BlockField field{kAt, c.kind};
    ASSERT_EQ(field.size(), c.before.size());
    field.write(block, c.written);
    EXPECT_TRUE(std::equal(c.after.begin(), c.after.end(), block.bytes().begin() + kAt));
    EXPECT_EQ(field.read(block), c.read);
    EXPECT_EQ(block.bytes()[kAt - 1], 0xAA);
    EXPECT_EQ(block.bytes()[kAt + c.before.size()], 0xBB);
  }
}

}  // namespace
}  // namespace kdsp::settings
