// SPDX-License-Identifier: GPL-3.0-or-later
// Named WiFi processors in the program's INI file: addresses read as users type them, entries
// kept beside everything else in the file, names the file cannot hold refused.
#include "settings/wifi_processors.h"

#include <gtest/gtest.h>

#include <optional>

#include "settings/ini_file.h"
#include "support/temp_dir.h"

namespace kdsp::settings {
namespace {

TEST(WifiProcessors, AddressesReadAsUsersTypeThem) {
  const struct {
    const char* text;
    std::optional<HostPort> expected;
  } cases[] = {
      {"192.168.4.1:8899", HostPort{"192.168.4.1", 8899}},
      {"tcp://room-3.local:1", HostPort{"room-3.local", 1}},
      {"  10.0.0.7:65535 ", HostPort{"10.0.0.7", 65535}},
      {"[::1]:8899", HostPort{"::1", 8899}},
      {"::1:8899", std::nullopt},
      {"192.168.4.1", std::nullopt},
      {":8899", std::nullopt},
      {"host:0", std::nullopt},
      {"host:65536", std::nullopt},
      {"host:88x", std::nullopt},
      {"host:", std::nullopt},
      {"two words:80", std::nullopt},
      {"http://host/x:80", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseHostPort(c.text), c.expected) << c.text;
}

TEST(WifiProcessors, AreKeptInTheIniBesideEverythingElse) {
  testing::TempDir dir;
  const auto ini = dir.path() / "kdsp.ini";
  testing::WriteBytes(ini,
                      "[Config]\ngroupini=/home/u/venue.set\n\n[WiFi Processors]\n"
                      "; the rooms upstairs\nRoom 1=192.168.1.21:8899\nbroken=nowhere\n");
  ASSERT_TRUE(AddWifiProcessor(ini, {"Room 2", {"192.168.1.22", 8899}}));
  ASSERT_TRUE(AddWifiProcessor(ini, {"room 1", {"192.168.1.31", 8899}}));  // a new address
  const std::vector<WifiProcessor> kept = ReadWifiProcessors(ini);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].name, "Room 1");
  EXPECT_EQ(kept[0].address, (HostPort{"192.168.1.31", 8899}));
  EXPECT_EQ(kept[1].name, "Room 2");

  ASSERT_TRUE(ForgetWifiProcessor(ini, "ROOM 1"));
  ASSERT_TRUE(ForgetWifiProcessor(ini, "never added"));
  EXPECT_EQ(ReadWifiProcessors(ini).size(), 1u);
  EXPECT_EQ(testing::ReadBytes(ini),
            "[Config]\ngroupini=/home/u/venue.set\n\n[WiFi Processors]\n"
            "; the rooms upstairs\nbroken=nowhere\nRoom 2=192.168.1.22:8899\n");
}

TEST(WifiProcessors, NamesTheFileCannotHoldAreRefused) {
  testing::TempDir dir;
  const auto ini = dir.path() / "kdsp.ini";
  for (const char* name : {"", "  ", "a=b", "two\nlines", "[section", ";comment"}) {
    const WriteResult added = AddWifiProcessor(ini, {name, {"10.0.0.1", 80}});
    EXPECT_FALSE(added) << name;
    EXPECT_EQ(added.message, message::kBadProcessorName);
  }
  EXPECT_FALSE(std::filesystem::exists(ini));
}

}  // namespace
}  // namespace kdsp::settings
