// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl get, set and watch against the kdsp-sim server over 127.0.0.1: what they print, the
// records that reach the processor, and what is refused before anything is sent.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/run_command.h"
#include "support/sim_server.h"
#include "support/temp_dir.h"

extern char** environ;

namespace kdsp {
namespace {

using testing::RunResult;
using testing::SimServer;

// The records the simulator received, as --verbose prints them, one a line.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

class KdspctlLiveTest : public ::testing::Test {
 protected:
  RunResult run(const std::string& args) {
    return testing::RunCommand(std::string(KDSPCTL_PATH) + " --connect " + sim.url() + " " + args,
                               temp.path());
  }

  testing::TempDir temp;
  SimServer sim{{"--verbose"}};
};

TEST_F(KdspctlLiveTest, GetPrintsFieldsAsDumpNamesAndFormatsThem) {
  ASSERT_TRUE(sim.ok());
  const RunResult text = run("get masterMusic 'bands[28].frequency' 'outputMutes.main left'");
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out,
            "masterMusic = 30\n"
            "bands[28].frequency = 125.00 Hz [ 125] (step 95)\n"
            "outputMutes.main left = on\n");
  const RunResult json = run("get 'mix[main][mic]' --json");
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out, "{\n  \"mix[main][mic]\": {\"level\":50,\"muted\":false}\n}\n");
  // Reading sends no parameter record.
  EXPECT_EQ(Lines(sim.takeOutput()),
            (std::vector<std::string>{"229 (E5) greeting: 00", "224 (E0) read block: F0 00",
                                      "229 (E5) greeting: 00", "224 (E0) read block: F0 00"}));

  const RunResult unknown = run("get masterVolume");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "kdspctl: unknown field 'masterVolume' (kdspctl dump lists the fields)\n");
}

TEST_F(KdspctlLiveTest, SetSendsOneRecordPerChangedCommandAndPrintsWhatChanged) {
  ASSERT_TRUE(sim.ok());
  const RunResult set =
      run("set masterMusic=40 'bands[28].gain=-3.0' 'bands[28].frequency=800' "
          "outputMutes.controlMusic=off 'mix[center][music]=20 muted' revWidth=90");
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.out,
            "masterMusic: 30 -> 40\n"
            "mix[center][music]: 50 -> 20 muted\n"
            "bands[28].gain: +0.0 dB -> -3.0 dB\n"
            "bands[28].frequency: 125.00 Hz [ 125] (step 95) -> 793.70 Hz [ 793] (step 191)\n"
            "outputMutes.controlMusic: on -> off\n");
  // Never a whole upload: the records of the command table, in its order, revWidth unchanged.
  EXPECT_EQ(Lines(sim.takeOutput()), (std::vector<std::string>{
                                         "229 (E5) greeting: 00",
                                         "224 (E0) read block: F0 00",
                                         "163 (A3) mix channel: 01 94 32",
                                         "160 (A0) master music: 28",
                                         "173 (AD) output switches: 80",
                                         "169 (A9) eq band: 1C E2 FF BF 00 09 00 01 00",
                                     }));

  const RunResult back = run("get masterMusic 'mix[center][music]' 'bands[28].gain'");
  EXPECT_EQ(back.out,
            "masterMusic = 40\nmix[center][music] = 20 muted\nbands[28].gain = -3.0 dB\n");

  const RunResult again = run("set masterMusic=40");
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.out, "");
  EXPECT_EQ(again.err, "the processor already holds these values\n");
}

TEST_F(KdspctlLiveTest, RefusedValuesSendNothing) {
  ASSERT_TRUE(sim.ok());
  struct Case {
    const char* args;
    const char* message;
    bool connects;  // refused only once the processor's limits are known
  };
  const Case cases[] = {
      {"set masterMusic=61", "kdspctl: masterMusic: '61' is not 0..60\n", false},
      {"set nosuch=1 'bands[3].gain=+13'",
       "kdspctl: unknown field 'nosuch' (kdspctl dump lists the fields)\n"
       "kdspctl: bands[3].gain: '+13' is not -24.0..+12.0 dB\n",
       false},
      {"set checksum=0", "kdspctl: checksum cannot be set: it is computed from the other bytes\n",
       false},
      {"set masterMusic", "kdspctl: 'masterMusic' is no FIELD=VALUE\n", false},
      {"set masterEffect=20 masterMusic=56",
       "kdspctl: masterMusic: 56 is above the music maximum volume, 55\nkdspctl: nothing was "
       "sent\n",
       true},
  };
  for (const Case& c : cases) {
    const RunResult r = run(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.err.substr(0, std::string(c.message).size()), c.message) << c.args;
    const auto received = Lines(sim.takeOutput());
    if (c.connects) {
      EXPECT_EQ(received,
                (std::vector<std::string>{"229 (E5) greeting: 00", "224 (E0) read block: F0 00"}))
          << c.args;
    } else {
      EXPECT_TRUE(received.empty()) << c.args;
    }
  }
}

TEST_F(KdspctlLiveTest, ARecordLeftUnacknowledgedMayHaveBeenApplied) {
  SimServer silent({"--no-ack"});
  ASSERT_TRUE(silent.ok());
  const std::string c = std::string(KDSPCTL_PATH) + " --connect " + silent.url() + " ";
  const RunResult set = testing::RunCommand(c + "set masterMusic=10 revWidth=12", temp.path());
  EXPECT_EQ(set.status, 1);
  EXPECT_EQ(set.err,
            "kdspctl: the processor did not acknowledge the master music record (0 of 2 records "
            "were acknowledged); the working settings may have been changed (read them back to "
            "check)\n");
  EXPECT_EQ(testing::RunCommand(c + "get masterMusic", temp.path()).out, "masterMusic = 10\n");
}

// A kdspctl run in the background with its output in files, stopped by a signal.
class Background {
 public:
  Background(const std::vector<std::string>& args, const std::filesystem::path& folder)
      : out_(folder / "watch.out"), err_(folder / "watch.err") {
    std::vector<std::string> all = {KDSPCTL_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Background() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool started() const { return pid_ > 0; }
  std::string out() const { return testing::ReadBytes(out_); }
  std::string err() const { return testing::ReadBytes(err_); }
  // Waits for a text in stdout or stderr; a program that hangs fails the test after a while.
  bool waitFor(const std::string& text) const {
    for (int i = 0; i < 1000; ++i) {
      if (out().find(text) != std::string::npos || err().find(text) != std::string::npos)
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  // Sends the signal and returns the exit status; -1 when it did not exit normally.
  int stop(int signal) {
    ::kill(pid_, signal);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  std::filesystem::path out_, err_;
  pid_t pid_ = -1;
};

TEST_F(KdspctlLiveTest, WatchPrintsRecordsAndChangesMadeElsewhereUntilInterrupted) {
  ASSERT_TRUE(sim.ok());
  for (int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    Background watch({"--connect", sim.url(), "watch", "--every", "100"}, temp.path());
    ASSERT_TRUE(watch.started());
    ASSERT_TRUE(watch.waitFor("watching")) << watch.err();
    // Between its reads the processor's one connection is free for others.
    const std::string value = signal == SIGTERM ? "2.5" : "-1.5";
    const RunResult set =
        run("set 'bands[3].gain=" + value + "' revWidth=" + (signal == SIGTERM ? "12" : "13"));
    ASSERT_EQ(set.status, 0) << set.err;
    const std::string change = signal == SIGTERM ? "bands[3].gain: +0.0 dB -> +2.5 dB"
                                                 : "bands[3].gain: +2.5 dB -> -1.5 dB";
    ASSERT_TRUE(watch.waitFor(change)) << watch.out();
    EXPECT_EQ(watch.stop(signal), 0);
    const std::string out = watch.out();
    EXPECT_NE(out.find(signal == SIGTERM ? "revWidth: 90 -> 12" : "revWidth: 12 -> 13"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("record 230 0xE6 version              length   1  21"), std::string::npos);
    EXPECT_NE(out.find("record 186 0xBA status               length   8  37 37"),
              std::string::npos);
    // The chunks of its own reads are not told without --all-records.
    EXPECT_EQ(out.find("0xCE"), std::string::npos);
    EXPECT_NE(watch.err().find("watch ended"), std::string::npos);
  }
}

}  // namespace
}  // namespace kdsp
