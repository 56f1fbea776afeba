// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the kdsp-sim command line: every option, and the refusals.
#include "sim/sim_command_line.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace kdsp::sim {
namespace {

SimCommandLineParse Parse(std::vector<std::string_view> args) {
  return ParseSimCommandLine(args);
}

TEST(SimCommandLineTest, DefaultsListenOnTheModulePortOfThisMachine) {
  const auto parse = Parse({});
  ASSERT_TRUE(parse.line);
  EXPECT_EQ(parse.line->host, "127.0.0.1");
  EXPECT_EQ(parse.line->port, 8899);
  EXPECT_FALSE(parse.line->stateFile);
  EXPECT_EQ(parse.line->options.version, 0x21);
  EXPECT_FALSE(parse.line->options.lockedPassword);
  EXPECT_FALSE(parse.line->options.noAck);
  EXPECT_EQ(parse.line->options.corruptChunk, -1);
  EXPECT_EQ(parse.line->options.closeAfter, -1);
  EXPECT_FALSE(parse.line->options.readEndOnly);
  EXPECT_EQ(parse.line->options.dropChunk, -1);
  EXPECT_TRUE(parse.line->options.slowReplyMs.empty());
  EXPECT_TRUE(Parse({"-h"}).line->help);
}

TEST(SimCommandLineTest, EveryOptionIsTaken) {
  const auto parse = Parse({"--listen", "[::1]:0", "--state=/tmp/s",
                            "--firmware-version", "0x20", "--locked", "999", "--no-ack",
                            "--ack-delay-ms", "1500", "--corrupt-chunk=29", "--close-after", "0",
                            "--verbose", "--help", "--version"});
  ASSERT_TRUE(parse.line) << parse.error;
  const SimCommandLine& line = *parse.line;
  EXPECT_EQ(line.host, "::1");
  EXPECT_EQ(line.port, 0);
  EXPECT_EQ(line.stateFile, std::filesystem::path("/tmp/s"));
  EXPECT_EQ(line.options.version, 0x20);
  EXPECT_EQ(line.options.lockedPassword, 999);
  EXPECT_TRUE(line.options.noAck);
  EXPECT_EQ(line.options.ackDelayMs, 1500);
  EXPECT_EQ(line.options.corruptChunk, 29);
  EXPECT_EQ(line.options.closeAfter, 0);
  EXPECT_TRUE(line.verbose);
  EXPECT_TRUE(line.help);
  EXPECT_TRUE(line.version);

  const auto faults = Parse({"--read-end-only", "--drop-chunk", "0", "--slow-reply", "226:3500",
                             "--read-faults-from", "2"});
  ASSERT_TRUE(faults.line) << faults.error;
  EXPECT_EQ(faults.line->options.readFaultsFrom, 2);
  EXPECT_TRUE(faults.line->options.readEndOnly);
  EXPECT_EQ(faults.line->options.dropChunk, 0);
  EXPECT_EQ(faults.line->options.slowReplyMs, (std::map<std::uint8_t, int>{{226, 3500}}));
}

TEST(SimCommandLineTest, SlowReplyTakesDecimalOrHexCodesAndRepeats) {
  struct Case {
    std::vector<std::string_view> args;
    std::map<std::uint8_t, int> expected;
  };
  const Case cases[] = {
      {{"--slow-reply", "226:3500"}, {{226, 3500}}},
      {{"--slow-reply=0xE0:11000"}, {{224, 11000}}},
      {{"--slow-reply", "0XfF:0"}, {{255, 0}}},
      {{"--slow-reply", "0:60000"}, {{0, 60000}}},
      {{"--slow-reply", "224:100", "--slow-reply", "225:20"}, {{224, 100}, {225, 20}}},
      // The same code again: the later delay counts.
      {{"--slow-reply", "226:100", "--slow-reply", "0xE2:4000"}, {{226, 4000}}},
  };
  for (const Case& c : cases) {
    const auto parse = Parse(c.args);
    ASSERT_TRUE(parse.line) << c.args.back() << ": " << parse.error;
    EXPECT_EQ(parse.line->options.slowReplyMs, c.expected) << c.args.back();
  }
}

TEST(SimCommandLineTest, CountNamesHowManyProcessorsAndNumbersTheirStateFiles) {
  EXPECT_EQ(Parse({}).line->count, 1);
  EXPECT_EQ(Parse({"--count", "20"}).line->count, 20);
  EXPECT_EQ(Parse({"--count=1000", "--listen", "127.0.0.1:0"}).line->count, 1000);
  EXPECT_EQ(Parse({"--listen", "127.0.0.1:65529", "--count", "7"}).line->count, 7);

  const std::pair<const char*, const char*> files[] = {
      {"rooms.json", "rooms-3.json"},
      {"/var/lib/sim/rooms.json", "/var/lib/sim/rooms-3.json"},
      {"state", "state-3"},
      {"a.b/rooms.tar.gz", "a.b/rooms.tar-3.gz"},
  };
  for (const auto& [file, numbered] : files)
    EXPECT_EQ(NumberedStateFile(file, 3), std::filesystem::path(numbered)) << file;
}

TEST(SimCommandLineTest, WrongArgumentsAreRefusedWithAReason) {
  struct Case {
    std::vector<std::string_view> args;
    std::string_view error;
  };
  const Case cases[] = {
      {{"--listen", "127.0.0.1"}, "bad value '127.0.0.1' for --listen"},
      {{"--listen", "127.0.0.1:65536"}, "for --listen"},
      {{"--listen", ":80"}, "for --listen"},
      {{"--listen", "127.0.0.1:-0"}, "bad value '127.0.0.1:-0' for --listen"},
      {{"--listen"}, "--listen needs a value"},
      {{"--firmware-version", "123"}, "for --firmware-version"},
      {{"--firmware-version", "zz"}, "for --firmware-version"},
      {{"--version=21"}, "--version takes no value (the greeting's answer is set with "
                         "--firmware-version HEX)"},
      {{"--version", "21"}, "unknown argument '21'"},
      {{"--locked", "1000"}, "a password 0..999"},
      {{"--locked", "-1"}, "for --locked"},
      {{"--ack-delay-ms", "1.5"}, "for --ack-delay-ms"},
      {{"--corrupt-chunk", "30"}, "a chunk number 0..29"},
      {{"--drop-chunk", "30"}, "bad value '30' for --drop-chunk: expected a chunk number 0..29"},
      {{"--drop-chunk", "-1"}, "for --drop-chunk"},
      {{"--drop-chunk"}, "--drop-chunk needs a value"},
      {{"--read-end-only=yes"}, "--read-end-only takes no value"},
      {{"--read-faults-from", "0"},
       "bad value '0' for --read-faults-from: expected a read number 1..1000000000"},
      {{"--slow-reply", "226"}, "bad value '226' for --slow-reply: expected CODE:MS"},
      {{"--slow-reply", "256:10"}, "for --slow-reply"},
      {{"--slow-reply", "0x100:10"}, "for --slow-reply"},
      {{"--slow-reply", "0x:10"}, "for --slow-reply"},
      {{"--slow-reply", "E2:10"}, "for --slow-reply"},
      {{"--slow-reply", "226:60001"}, "MS milliseconds 0..60000"},
      {{"--slow-reply", "226:-5"}, "for --slow-reply"},
      {{"--slow-reply", ":10"}, "for --slow-reply"},
      {{"--slow-reply", "226:"}, "for --slow-reply"},
      {{"--slow-reply"}, "--slow-reply needs a value"},
      {{"--close-after", "-1"}, "for --close-after"},
      {{"--state", ""}, "for --state"},
      {{"--no-ack=1"}, "--no-ack takes no value"},
      {{"--frobnicate"}, "unknown argument '--frobnicate'"},
      {{"8899"}, "unknown argument '8899'"},
      {{"--count", "0"}, "bad value '0' for --count: expected a number of processors 1..1000"},
      {{"--count", "1001"}, "for --count"},
      {{"--count"}, "--count needs a value"},
      {{"--listen", "127.0.0.1:65530", "--count", "7"},
       "--count 7 processors from port 65530 run past port 65535"},
  };
  for (const Case& c : cases) {
    const auto parse = Parse(c.args);
    EXPECT_FALSE(parse.line) << c.error;
    EXPECT_NE(parse.error.find(c.error), std::string::npos) << parse.error;
  }
}

}  // namespace
}  // namespace kdsp::sim
