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
        QStringList{"--connect", "tcp://host:0"}, QStringList{"--connect"},
        QStringList{"--frobnicate"}})
    EXPECT_FALSE(Parse(bad).error.empty()) << bad.join(' ').toStdString();
}

}  // namespace
}  // namespace kdsp::app
