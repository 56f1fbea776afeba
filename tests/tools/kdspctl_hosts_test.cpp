// SPDX-License-Identifier: GPL-3.0-or-later
// The hosts file and the other ways of naming processors: every good form, and each fault told
// with its line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosts_file.h"
#include "support/temp_dir.h"
#include "target_options.h"

namespace kdsp::tools {
namespace {

TEST(HostsFileTest, GoodLinesCommentsAndBlankLines) {
  const std::string text =
      "# the rooms of the first floor\n"
      "room-1 tcp://192.168.4.11:8899\n"
      "\n"
      "   \t\n"
      "room_2\ttcp://karaoke-2.local:8899   # the big room\n"
      "Room.3 tcp://10.0.0.3:1\r\n"
      "bar usb:/dev/hidraw3\n"
      "lobby sim\n"
      "room-6 tcp://10.0.0.6:65535";  // no line end on the last
  const std::vector<HostsEntry> entries = ParseHosts(text);
  struct Expected {
    const char* name;
    const char* url;
    int line;
  };
  const Expected expected[] = {
      {"room-1", "tcp://192.168.4.11:8899", 2},
      {"room_2", "tcp://karaoke-2.local:8899", 5},
      {"Room.3", "tcp://10.0.0.3:1", 6},
      {"bar", "usb:/dev/hidraw3", 7},
      {"lobby", "sim", 8},
      {"room-6", "tcp://10.0.0.6:65535", 9},
  };
  ASSERT_EQ(entries.size(), std::size(expected));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].name, expected[i].name);
    EXPECT_EQ(entries[i].url, expected[i].url);
    EXPECT_EQ(entries[i].line, expected[i].line);
  }
  EXPECT_TRUE(ParseHosts("# nothing but comments\n\n").empty());
}

TEST(HostsFileTest, BadLinesAreToldWithTheirNumber) {
  struct Case {
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"room-1\n", "line 1: room-1 has no address: NAME tcp://HOST:PORT or NAME usb:PATH"},
      {"# c\nroom-1 tcp://a:1 tcp://b:2\n",
       "line 2: 'tcp://b:2' is one word too many: NAME tcp://HOST:PORT or NAME usb:PATH"},
      {"room/1 tcp://a:1\n",
       "line 1: the name 'room/1' may hold only letters, digits, '.', '_' and '-' (not first), at "
       "most 64"},
      {".hidden tcp://a:1\n", "line 1: the name '.hidden' may hold"},
      {std::string(65, 'r') + " tcp://a:1\n", "may hold only letters, digits"},
      {"a tcp://h:1\n\nb tcp://h:2\na tcp://h:3\n", "line 4: a is named twice (first on line 1)"},
      {"a ftp://h:1\n",
       "line 1: 'ftp://h:1' is no processor address: NAME tcp://HOST:PORT or "
       "NAME usb:PATH"},
      {"a 10.0.0.1:8899\n", "line 1: '10.0.0.1:8899' is no processor address"},
      {"a tcp://h:70000\n", "line 1: tcp://h:70000: port 70000 is out of range 1..65535"},
      {"a tcp://h:x\n", "line 1: tcp://h:x: port 'x' is not a number"},
      {"a tcp://h:--5\n", "line 1: tcp://h:--5: port '--5' is not a number"},
      {"a tcp://h\n", "line 1: 'tcp://h' is no processor address"},
      {"a tcp://:8899\n", "line 1: 'tcp://:8899' is no processor address"},
      {"a tcp://h:\n", "line 1: 'tcp://h:' is no processor address"},
      {"a usb:\n", "line 1: 'usb:' is no processor address"},
  };
  for (const Case& c : cases) {
    try {
      ParseHosts(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const UsageError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << "got: " << e.what() << "\nwanted: " << c.message;
    }
  }
}

TEST(HostsFileTest, TheFileIsNamedInItsFaults) {
  testing::TempDir dir;
  const auto expectFault = [](const std::filesystem::path& path, const std::string& message) {
    try {
      ReadHostsFile(path);
      ADD_FAILURE() << "accepted " << path;
    } catch (const UsageError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  };
  testing::WriteBytes(dir / "hosts", "room-1 tcp://h:1\nroom-1 tcp://h:2\n");
  expectFault(dir / "hosts", (dir / "hosts").string() +
                                 ": line 2: room-1 is named twice (first "
                                 "on line 1)");
  testing::WriteBytes(dir / "empty", "# no rooms yet\n");
  expectFault(dir / "empty", (dir / "empty").string() + ": it names no processor");
  expectFault(dir / "absent", "cannot read the hosts file " + (dir / "absent").string());
}

TEST(TargetOptionsTest, OptionsAreTakenWhereverTheyStand) {
  Args args = {"--connect", "tcp://a:1", "push",    "x.aex", "--jobs",    "3",
               "--slot",    "2",         "--hosts", "h",     "--connect", "tcp://b:2"};
  const TargetOptions options = TakeTargetOptions(args);
  EXPECT_EQ(args, (Args{"push", "x.aex", "--slot", "2"}));
  EXPECT_EQ(options.connectUrls, (std::vector<std::string>{"tcp://a:1", "tcp://b:2"}));
  EXPECT_EQ(options.hostsFile, "h");
  EXPECT_EQ(options.jobs, "3");

  for (const char* last : {"--connect", "--hosts", "--jobs"}) {
    Args missing = {"info", last};
    EXPECT_THROW(TakeTargetOptions(missing), UsageError) << last;
  }
}

TEST(TargetOptionsTest, TargetsAreNamedAndGivenFolders) {
  testing::TempDir dir;
  testing::WriteBytes(dir / "hosts", "room-1 tcp://10.0.0.1:8899\nroom-2 tcp://10.0.0.2:8899\n");
  struct Case {
    TargetOptions options;
    std::vector<std::string> names;
    std::vector<std::string> folders;
    bool venue;
    int jobs;
  };
  const Case cases[] = {
      {{}, {"usb"}, {"usb"}, false, 8},
      {{{"tcp://10.0.0.9:8899"}, {}, {}}, {"tcp://10.0.0.9:8899"}, {"10.0.0.9_8899"}, false, 8},
      {{{"tcp://10.0.0.9:8899", "sim"}, {}, "50"},
       {"tcp://10.0.0.9:8899", "sim"},
       {"10.0.0.9_8899", "sim"},
       true,
       50},
      // A hosts file is a venue even when it names one processor.
      {{{"tcp://10.0.0.9:8899"}, (dir / "hosts").string(), "1"},
       {"room-1", "room-2", "tcp://10.0.0.9:8899"},
       {"room-1", "room-2", "10.0.0.9_8899"},
       true,
       1},
  };
  for (const Case& c : cases) {
    const TargetChoice choice = ResolveTargets(c.options);
    std::vector<std::string> names, folders;
    for (const NamedTarget& t : choice.targets) {
      names.push_back(t.name);
      folders.push_back(t.folder);
    }
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(folders, c.folders);
    EXPECT_EQ(choice.venue, c.venue);
    EXPECT_EQ(choice.jobs, c.jobs);
  }
  EXPECT_EQ(ResolveTargets({{"tcp://10.0.0.9:8899"}, {}, {}}).targets[0].connect.port, 8899);
  const TargetChoice usb = ResolveTargets({{"usb:/dev/hidraw3", "usb:/dev/hidraw4"}, {}, {}});
  EXPECT_EQ(usb.targets[0].folder, "usb__dev_hidraw3");
  EXPECT_EQ(usb.targets[1].connect.usbPath, "/dev/hidraw4");
}

TEST(TargetOptionsTest, RefusalsSayWhy) {
  testing::TempDir dir;
  testing::WriteBytes(dir / "hosts", "h_1 tcp://10.0.0.1:8899\n");
  struct Case {
    TargetOptions options;
    std::string message;
  };
  const Case cases[] = {
      {{{"tcp://h:1", "tcp://h:1"}, {}, {}}, "tcp://h:1 is given twice"},
      {{{"tcp://h:1"}, (dir / "hosts").string(), {}},
       "tcp://h:1 would share its folder h_1 with another processor"},
      {{{"tcp://h:1"}, {}, "0"}, "--jobs 0 is out of range 1..256"},
      {{{"tcp://h:1"}, {}, "many"}, "--jobs 'many' is not a number"},
      {{{"tcp://h:1"}, {}, "--3"}, "--jobs '--3' is not a number"},
      {{{"tcp://h:1"}, {}, "--9223372036854775808"},
       "--jobs '--9223372036854775808' is not a number"},
      {{{"tcp://127.0.0.1:--5"}, {}, {}}, "tcp://127.0.0.1:--5: port '--5' is not a number"},
      {{{"ftp://h"}, {}, {}},
       "--connect takes usb, usb:PATH, sim or tcp://HOST:PORT, not 'ftp://h'"},
  };
  for (const Case& c : cases) {
    try {
      ResolveTargets(c.options);
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const UsageError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

}  // namespace
}  // namespace kdsp::tools
