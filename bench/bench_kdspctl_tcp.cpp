// kdspctl commands against the kdsp-sim server over 127.0.0.1, end to end as a user runs them:
// the process starts, connects, greets, does its work and exits. A command takes what its work
// takes: no fixed settle wait, no wait that spins.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace {

// A kdsp-sim server on a port of the system's choosing, for the whole run.
class SimProcess {
 public:
  SimProcess() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {KDSP_SIM_PATH, "--listen", "127.0.0.1:0"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    // "listening on 127.0.0.1:PORT"
    std::string line;
    char c;
    pollfd p{fds[0], POLLIN, 0};
    while (pid_ > 0 && ::poll(&p, 1, 20000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
      line += c;
    ::close(fds[0]);
    const std::size_t colon = line.rfind(':');
    if (colon != std::string::npos) url_ = "tcp://127.0.0.1:" + line.substr(colon + 1);
  }
  ~SimProcess() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  const std::string& url() const { return url_; }

 private:
  pid_t pid_ = -1;
  std::string url_;
};

SimProcess& Sim() {
  static SimProcess sim;
  return sim;
}

// Runs kdspctl with its output discarded; the exit status, or -1.
int RunKdspctl(std::vector<std::string> args) {
  args.insert(args.begin(), {KDSPCTL_PATH, "--connect", Sim().url()});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Wall time per command, and the processor time the commands used (children's user + system),
// which a wait that spins would fill.
void Measure(benchmark::State& state, const std::vector<std::vector<std::string>>& commands) {
  if (Sim().url().empty()) return state.SkipWithError("kdsp-sim did not start");
  rusage before{};
  ::getrusage(RUSAGE_CHILDREN, &before);
  std::size_t i = 0;
  for (auto _ : state) {
    if (RunKdspctl(commands[i++ % commands.size()]) != 0)
      return state.SkipWithError("kdspctl failed");
  }
  rusage after{};
  ::getrusage(RUSAGE_CHILDREN, &after);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  const double cpu = seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) -
                     seconds(before.ru_stime);
  state.counters["cpu_ms"] =
      benchmark::Counter(cpu * 1000 / static_cast<double>(state.iterations()));
}

void BM_Info(benchmark::State& state) {
  Measure(state, {{"info"}});
}
BENCHMARK(BM_Info)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Get(benchmark::State& state) {
  Measure(state, {{"get", "masterMusic", "bands[28].gain"}});
}
BENCHMARK(BM_Get)->Unit(benchmark::kMillisecond)->UseRealTime();

// Two values in turn, so every run changes something and sends its records.
void BM_Set(benchmark::State& state) {
  Measure(state, {{"set", "masterMusic=40", "bands[28].gain=-3.0"},
                  {"set", "masterMusic=30", "bands[28].gain=+1.5"}});
}
BENCHMARK(BM_Set)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
