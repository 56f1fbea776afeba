// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the program's command line.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace kdsp::app {
namespace {

CommandLine Parse(QStringList args) {
  return ParseCommandLine(QStringList{"kdsp"} + args);
}

TEST(CommandLineTest, OptionsAndTheirMistakes) {
  EXPECT_FALSE(Parse({}).simulate);
  EXPECT_TRUE(Parse({"--simulate"}).simulate);
  EXPECT_TRUE(Parse({"--service-menu"}).serviceMenu);
  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"--version"}).version);
  EXPECT_EQ(Parse({"--page", "echo"}).page, std::optional<std::string>("echo"));
  const CommandLine wifi = Parse({"--connect", "tcp://127.0.0.1:8899"});
  ASSERT_TRUE(wifi.wifiHost.has_value());
  EXPECT_EQ(*wifi.wifiHost, "127.0.0.1");
  EXPECT_EQ(wifi.wifiPort, 8899);
  EXPECT_TRUE(wifi.error.empty());
  for (const QStringList& bad :
       {QStringList{"--connect", "udp://x:1"}, QStringList{"--connect", "tcp://host"},
        QStringList{"--connect", "tcp://host:0"}, QStringList{"--connect", "tcp://host:+9"},
        QStringList{"--connect", "tcp://host: 9"}, QStringList{"--connect", "tcp://host:--5"},
        QStringList{"--connect", "tcp://host:4294975091"}, QStringList{"--connect"},
        QStringList{"--frobnicate"}})
    EXPECT_FALSE(Parse(bad).error.empty()) << bad.join(' ').toStdString();
}

TEST(CommandLineTest, TheRemotesAddressIsReadWhereTheOptionIsGiven) {
  EXPECT_FALSE(Parse({}).remote.has_value());
  const CommandLine every = Parse({"--remote", "8080"});
  ASSERT_TRUE(every.remote.has_value()) << every.error;
  EXPECT_EQ(every.remote->address, QHostAddress(QHostAddress::Any));
  EXPECT_EQ(every.remote->port, 8080);
  const CommandLine local = Parse({"--simulate", "--remote", "127.0.0.1:0"});
  ASSERT_TRUE(local.remote.has_value()) << local.error;
  EXPECT_EQ(local.remote->address, QHostAddress(QHostAddress::LocalHost));
  EXPECT_EQ(local.remote->port, 0);
  EXPECT_EQ(Parse({"--remote", "http://x"}).error,
            "--remote takes [ADDR:]PORT (a port 0..65535, an IPv4 address or an IPv6 address in "
            "brackets), not 'http://x'");
  EXPECT_NE(Parse({"--remote"}).error, "");
  EXPECT_NE(std::string(CommandLineHelp()).find("--remote [ADDR:]PORT"), std::string::npos);
}

TEST(CommandLineTest, APrivateInstanceNameComesFromTheOptionElseTheEnvironment) {
  const struct {
    QStringList args;
    const char* environment;
    std::optional<std::string> name;
    std::string error;
  } cases[] = {
      {{}, nullptr, std::nullopt, ""},
      {{}, "", std::nullopt, ""},
      {{}, "ci-42", "ci-42", ""},
      {{"--instance", "test.A_1"}, nullptr, "test.A_1", ""},
      {{"--instance", "mine"}, "theirs", "mine", ""},
      {{"--instance", "mine"}, "bad/name", "mine", ""},
      {{},
       "bad/name",
       std::nullopt,
       "KDSP_INSTANCE_NAME: an instance name is 1 to 64 letters, digits, '.', '_' and '-', not "
       "'bad/name'"},
  };
  for (const auto& c : cases) {
    const CommandLine line = Parse(c.args);
    ASSERT_EQ(line.error, "");
    std::string error;
    EXPECT_EQ(PrivateInstanceName(line, c.environment, error), c.name);
    EXPECT_EQ(error, c.error);
  }
}

TEST(CommandLineTest, AnInstanceNameMakesAFileNameOfItsOwn) {
  for (const std::string& good :
       std::vector<std::string>{"a", "ctest-screenshot-0123abcd", "x.y_z", std::string(64, 'n')})
    EXPECT_EQ(InstanceNameProblem(good), "") << good;
  for (const std::string& bad :
       std::vector<std::string>{"", ".", "..", "a/b", "../x", "with space", "tab\t", "caf\xC3\xA9",
                                std::string(65, 'n')})
    EXPECT_NE(InstanceNameProblem(bad), "") << bad;
  EXPECT_EQ(Parse({"--instance", "a/b"}).error,
            "an instance name is 1 to 64 letters, digits, '.', '_' and '-', not 'a/b'");
  EXPECT_NE(Parse({"--instance"}).error, "");
}

}  // namespace
}  // namespace kdsp::app
