// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the version reply and the acknowledgement: which bytes the link acts on.
#include "device/replies.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace kdsp::device {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(VersionReply, TheFirstByteIsTheVersionAndOnly0x21IsSpoken) {
  const struct {
    Bytes payload;
    std::uint8_t version;
    bool accepted;
  } cases[] = {
      {{0x21}, 0x21, true},
      {{0x21, 0x00, 0x7F}, 0x21, true},  // bytes after the version do not count
      {{0x20}, 0x20, false},
      {{0x22}, 0x22, false},
      {{0x00}, 0x00, false},
      {{0x12, 0x21}, 0x12, false},  // the version is the first byte, not any byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.payload));
    const auto reply = ParseVersionReply(c.payload);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->version, c.version);
    EXPECT_EQ(reply->accepted, c.accepted);
  }
  EXPECT_FALSE(ParseVersionReply({}));
}

TEST(Acknowledgement, OnlyAFirstByteOfOneTakesTheRecord) {
  const struct {
    Bytes payload;
    bool taken;
  } cases[] = {
      {{0x01}, true},  {{0x01, 0x00}, true},  {{0x00}, false}, {{0x02}, false},
      {{0xFF}, false}, {{0x00, 0x01}, false}, {{}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsAcknowledgement(c.payload), c.taken) << ::testing::PrintToString(c.payload);
}

}  // namespace
}  // namespace kdsp::device
