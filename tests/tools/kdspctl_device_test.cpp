// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end tests of kdspctl's device commands against the simulated processor: in-process
// (--connect sim) and the kdsp-sim server over 127.0.0.1.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "settings/group_file.h"
#include "settings/setting_file.h"
#include "support/run_command.h"
#include "support/sim_server.h"
#include "support/temp_dir.h"

namespace kdsp {
namespace {

namespace fs = std::filesystem;

using testing::RunResult;

using testing::SimServer;

class KdspctlDeviceTest : public ::testing::Test {
 protected:
  RunResult run(const std::string& args) {
    return testing::RunCommand(std::string(KDSPCTL_PATH) + " " + args, temp.path());
  }
  std::string path(const std::string& name) { return (temp / name).string(); }
  std::string quoted(const std::string& name) { return "'" + path(name) + "'"; }

  testing::TempDir temp;
};

TEST_F(KdspctlDeviceTest, InfoAndListOnTheSimulatedProcessor) {
  const RunResult info = run("--connect sim info");
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("version          0x21"), std::string::npos);
  EXPECT_NE(info.out.find("front panel      unlocked"), std::string::npos);
  const RunResult list = run("list --connect sim");
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("0483:0157"), std::string::npos);
  EXPECT_NE(list.out.find("accessible"), std::string::npos);
}

TEST_F(KdspctlDeviceTest, PushPullAndGroupsOverTcp) {
  SimServer sim;
  settings::ParameterBlock edited = settings::FactoryDefaults();
  edited.bands[30].gain = -45;
  edited.revWidth = 12;
  ASSERT_TRUE(settings::WriteSettingFile(path("edited.aex"), edited).ok);

  const RunResult push =
      run("--connect " + sim.url() + " push " + quoted("edited.aex") + " --slot 5");
  ASSERT_EQ(push.status, 0) << push.err;
  EXPECT_NE(push.err.find("verified"), std::string::npos);

  const RunResult pull = run("--connect " + sim.url() + " pull --slot 5 -o " + quoted("back.aex"));
  ASSERT_EQ(pull.status, 0) << pull.err;
  settings::ParameterBlock back{};
  ASSERT_TRUE(settings::LoadSettingFile(path("back.aex"), back).loaded());
  EXPECT_EQ(back.bands[30].gain, -45);
  EXPECT_EQ(back.revWidth, 12);
  EXPECT_EQ(back.checksum, settings::BlockChecksum(back));

  fs::create_directory(temp / "all");
  const RunResult all = run("--connect " + sim.url() + " pull-all " + quoted("all"));
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_NE(all.err.find("[9/9]"), std::string::npos);
  const settings::GroupFiles group = settings::ReadGroupFile(temp / "all" / "Upload.set");
  EXPECT_EQ(fs::path(group[7]).filename(), "KARAOKE.aex");
  settings::ParameterBlock slot5{};
  ASSERT_TRUE(settings::LoadSettingFile(group[5], slot5).loaded());
  EXPECT_EQ(slot5.bands[30].gain, -45);

  const RunResult pushGroup =
      run("--connect " + sim.url() + " push-group " + quoted("all/Upload.set"));
  EXPECT_EQ(pushGroup.status, 0) << pushGroup.err;
  EXPECT_NE(pushGroup.err.find("Download Done!"), std::string::npos);
}

TEST_F(KdspctlDeviceTest, LockUnlockAndPassword) {
  SimServer sim({"--locked", "321"});
  const std::string c = "--connect " + sim.url() + " ";
  EXPECT_NE(run(c + "info").out.find("front panel      locked"), std::string::npos);
  RunResult r = run(c + "pull --slot 1 -o " + quoted("one.aex"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("--password"), std::string::npos);
  EXPECT_FALSE(fs::exists(temp / "one.aex"));
  EXPECT_EQ(run(c + "unlock --password 3").err, "kdspctl: Password Error!\n");
  EXPECT_EQ(run(c + "unlock --password 321").status, 0);
  EXPECT_NE(run(c + "info").out.find("front panel      unlocked"), std::string::npos);
  r = run(c + "password 1000 --password 321");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "kdspctl: Password can't large than 999\n");
  EXPECT_EQ(run(c + "password 999 --password 321").status, 0);
  EXPECT_EQ(run(c + "lock --password 999").status, 0);
  EXPECT_NE(run(c + "info").out.find("front panel      locked"), std::string::npos);
}

TEST_F(KdspctlDeviceTest, FailuresSayWhyAndLeaveNoFile) {
  ASSERT_TRUE(settings::WriteSettingFile(path("good.aex"), settings::FactoryDefaults()).ok);
  struct Case {
    std::vector<std::string> simOptions;
    std::string command;  // after --connect URL
    std::string message;
  };
  const Case cases[] = {
      {{"--firmware-version", "20"}, "pull --slot 1 -o " + quoted("out.aex"), "version 0x20"},
      {{"--corrupt-chunk", "4"}, "pull --slot 1 -o " + quoted("out.aex"), "checksum"},
      {{"--no-ack"}, "push " + quoted("good.aex") + " --slot 2", "did not acknowledge"},
      {{"--close-after", "4"},
       "push " + quoted("good.aex") + " --slot 2",
       "the connection to the processor was closed during the upload; slot 2 (2) was left "
       "unchanged"},
      {{"--close-after", "3"},
       "pull-all " + quoted("."),
       "the connection to the processor was closed"},
      {{"--read-end-only"},
       "pull --slot 1 -o " + quoted("out.aex"),
       "slot 1 (1) could not be read: chunks 0-29 of 30 did not arrive"},
      {{"--drop-chunk", "7"}, "pull-all " + quoted("."), "chunk 7 of 30 did not arrive"},
      // Only the reads after the first come without chunks: slot 0's block must not stand in.
      {{"--read-end-only", "--read-faults-from", "2"},
       "pull-all " + quoted("."),
       "slot 1 (1) could not be read: chunks 0-29 of 30 did not arrive"},
      {{"--drop-chunk", "3"},
       "push " + quoted("good.aex") + " --slot 2",
       "slot 2 (2) was rewritten but could not be verified: slot 2 (2) could not be read: "
       "chunk 3 of 30 did not arrive"},
      {{"--slow-reply", "226:4000"},
       "push " + quoted("good.aex") + " --slot 2",
       "slot 2 (2) may have been rewritten (read it back to check)"},
  };
  for (const Case& c : cases) {
    SimServer sim(c.simOptions);
    const RunResult r = run("--connect " + sim.url() + " " + c.command);
    EXPECT_EQ(r.status, 1) << c.command;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.command << ": " << r.err;
    // kdspctl tells a failed read itself: a store before it may well have changed the slot.
    EXPECT_EQ(r.err.find("Nothing was changed"), std::string::npos) << c.command << ": " << r.err;
    EXPECT_FALSE(fs::exists(temp / "out.aex"));
    EXPECT_FALSE(fs::exists(temp / "Upload.set"));
    EXPECT_FALSE(fs::exists(temp / "START UP.aex"));
  }
  std::string refusedUrl;
  {
    SimServer gone;
    refusedUrl = gone.url();
  }
  const RunResult refused = run("--connect " + refusedUrl + " info");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("cannot connect"), std::string::npos);
  const RunResult badUrl = run("--connect ftp://x info");
  EXPECT_EQ(badUrl.status, 2);
  EXPECT_NE(badUrl.err.find("--connect takes"), std::string::npos);
}

// A listening socket on 127.0.0.1 that takes connections and closes them at once.
class ClosingPeer {
 public:
  ClosingPeer() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_EQ(::listen(fd_, 4), 0);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~ClosingPeer() { ::close(fd_); }
  int port() const { return port_; }
  // Accepts one connection and closes it, with a reset rather than an orderly close if asked.
  void closeNext(bool reset) {
    const int peer = ::accept(fd_, nullptr, nullptr);
    ASSERT_GE(peer, 0);
    if (reset) {
      const linger abort{1, 0};
      ::setsockopt(peer, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    ::close(peer);
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

TEST_F(KdspctlDeviceTest, APeerThatClosesAtOnceIsToldInPlainWords) {
  // The connection was made, so it is not a failure to connect.
  ClosingPeer peer;
  const std::string where = "127.0.0.1:" + std::to_string(peer.port());
  for (const bool reset : {false, true}) {
    std::thread closer([&] { peer.closeNext(reset); });
    const RunResult r = run("--connect tcp://" + where + " info");
    closer.join();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kdspctl: the connection to " + where + " was closed by the processor\n")
        << (reset ? "reset" : "closed");
  }
}

TEST_F(KdspctlDeviceTest, AProcessorThatClosesRightAfterAnsweringHasAnswered) {
  ASSERT_TRUE(settings::WriteSettingFile(path("good.aex"), settings::FactoryDefaults()).ok);
  struct Case {
    std::string closeAfter;
    std::string command;
    std::string said;
  };
  const Case cases[] = {
      {"1", "info", ""},  // the greeting: version and status arrive with the close
      // The greeting, 30 chunks and the store record: its acknowledgement comes with the close.
      {"32", "push " + quoted("good.aex") + " --slot 2 --no-verify",
       path("good.aex") + " stored into slot 2 (2)\n"},
  };
  for (const Case& c : cases) {
    SimServer sim({"--close-after", c.closeAfter});
    const RunResult r = run("--connect " + sim.url() + " " + c.command);
    EXPECT_EQ(r.status, 0) << c.command << ": " << r.err;
    EXPECT_EQ(r.err, c.said);
  }
}

TEST_F(KdspctlDeviceTest, ALongSettingFileIsReadOnlyAsFarAsASettingFileGoes) {
  settings::ParameterBlock edited = settings::FactoryDefaults();
  edited.revWidth = 9;
  ASSERT_TRUE(settings::WriteSettingFile(path("long.aex"), edited).ok);
  fs::resize_file(temp / "long.aex", 100u << 20);  // 100 MiB, sparse
  const RunResult push = run("--connect sim push " + quoted("long.aex") + " --slot 3");
  EXPECT_EQ(push.status, 0) << push.err;
  EXPECT_NE(push.err.find("kdspctl: warning: " + path("long.aex") +
                          " is longer than a setting file (724 bytes); the rest of it was "
                          "ignored"),
            std::string::npos)
      << push.err;
  EXPECT_NE(push.err.find("stored into slot 3 (3) and verified"), std::string::npos);
}

// A small file system of its own, so a disk fills up for real; needs root to mount.
class SmallDisk {
 public:
  SmallDisk(const fs::path& where, const char* size) : where_(where) {
    fs::create_directory(where_);
    const std::string options = std::string("size=") + size;
    if (::mount("tmpfs", where_.c_str(), "tmpfs", 0, options.c_str()) == 0) {
      mounted_ = true;
    } else {
      reason_ = std::string("cannot mount a tmpfs (") + std::strerror(errno) + ")";
    }
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  const std::string& reason() const { return reason_; }

 private:
  fs::path where_;
  bool mounted_ = false;
  std::string reason_;
};

std::map<std::string, std::string> FolderContents(const fs::path& folder) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : fs::directory_iterator(folder))
    contents[entry.path().filename().string()] = testing::ReadBytes(entry.path());
  return contents;
}

TEST_F(KdspctlDeviceTest, PullAllOnAFullDiskKeepsTheOldBackupByteForByte) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  SmallDisk disk(temp / "disk", "64k");
  if (!disk.mounted()) GTEST_SKIP() << disk.reason();
  const fs::path backup = temp / "disk";
  // The old backup: ten files of a page each on tmpfs, 40 KiB of the 64.
  const RunResult first = run("--connect sim pull-all " + quoted("disk"));
  ASSERT_EQ(first.status, 0) << first.err;
  const auto before = FolderContents(backup);
  ASSERT_EQ(before.size(), 10u);

  // The new set needs another 40 KiB: the disk fills up part-way through it.
  const RunResult second = run("--connect sim pull-all " + quoted("disk"));
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.err.find("No space left on device"), std::string::npos) << second.err;
  EXPECT_EQ(FolderContents(backup), before);
}

}  // namespace
}  // namespace kdsp
