// End-to-end tests of kdspctl's device commands against the simulated processor: in-process
// (--connect sim) and the kdsp-sim server over 127.0.0.1.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "settings/group_file.h"
#include "settings/setting_file.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

extern char** environ;

namespace kdsp {
namespace {

namespace fs = std::filesystem;

using testing::RunResult;

// A kdsp-sim server on 127.0.0.1 and a free port, stopped when the test ends.
class SimServer {
 public:
  explicit SimServer(std::vector<std::string> options = {}) {
    std::vector<std::string> args = {KDSP_SIM_PATH, "--listen", "127.0.0.1:0"};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    // The first line says where it listens: "listening on 127.0.0.1:PORT".
    std::string line;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n') line += c;
    ::close(fds[0]);
    port_ = line.substr(line.rfind(':') + 1);
  }
  ~SimServer() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  std::string url() const { return "tcp://127.0.0.1:" + port_; }

 private:
  pid_t pid_ = -1;
  std::string port_;
};

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
  EXPECT_EQ(run(c + "unlock --password 3").err, "kdspctl: Paswword Error!\n");
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
      {{"--version", "20"}, "pull --slot 1 -o " + quoted("out.aex"), "version 0x20"},
      {{"--corrupt-chunk", "4"}, "pull --slot 1 -o " + quoted("out.aex"), "checksum"},
      {{"--no-ack"}, "push " + quoted("good.aex") + " --slot 2", "did not acknowledge"},
      {{"--close-after", "4"}, "push " + quoted("good.aex") + " --slot 2", "slot 2"},
  };
  for (const Case& c : cases) {
    SimServer sim(c.simOptions);
    const RunResult r = run("--connect " + sim.url() + " " + c.command);
    EXPECT_EQ(r.status, 1) << c.command;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.command << ": " << r.err;
    EXPECT_FALSE(fs::exists(temp / "out.aex"));
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

}  // namespace
}  // namespace kdsp
