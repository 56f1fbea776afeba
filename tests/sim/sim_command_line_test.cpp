// Tests of the kdsp-sim command line: every option, and the refusals.
#include "sim/sim_command_line.h"

#include <gtest/gtest.h>

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
  EXPECT_TRUE(Parse({"-h"}).line->help);
}

TEST(SimCommandLineTest, EveryOptionIsTaken) {
  const auto parse = Parse({"--listen", "[::1]:0", "--state=/tmp/s", "--version", "0x20",
                            "--locked", "999", "--no-ack", "--ack-delay-ms", "1500",
                            "--corrupt-chunk=29", "--close-after", "0", "--verbose", "--help"});
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
      {{"--listen"}, "--listen needs a value"},
      {{"--version", "123"}, "for --version"},
      {{"--version", "zz"}, "for --version"},
      {{"--locked", "1000"}, "a password 0..999"},
      {{"--locked", "-1"}, "for --locked"},
      {{"--ack-delay-ms", "1.5"}, "for --ack-delay-ms"},
      {{"--corrupt-chunk", "30"}, "a chunk number 0..29"},
      {{"--close-after", "-1"}, "for --close-after"},
      {{"--state", ""}, "for --state"},
      {{"--no-ack=1"}, "--no-ack takes no value"},
      {{"--frobnicate"}, "unknown argument '--frobnicate'"},
      {{"8899"}, "unknown argument '8899'"},
  };
  for (const Case& c : cases) {
    const auto parse = Parse(c.args);
    EXPECT_FALSE(parse.line) << c.error;
    EXPECT_NE(parse.error.find(c.error), std::string::npos) << parse.error;
  }
}

}  // namespace
}  // namespace kdsp::sim
