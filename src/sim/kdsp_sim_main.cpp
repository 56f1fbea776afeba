// SPDX-License-Identifier: GPL-3.0-or-later
// kdsp-sim: the simulated processor as a TCP server, for the program, kdspctl and the tests.
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QHostAddress>
#include <QSocketNotifier>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/program_version.h"
#include "sim/sim_command_line.h"
#include "sim/sim_tcp_server.h"
#include "sim/simulated_processor.h"

namespace {

// SIGINT and SIGTERM are turned into a byte on this pair, read by the event loop, so the loop
// ends normally and the state file is written on the way out.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

bool CatchStopSignals() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) return false;
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

QHostAddress ListenAddress(const std::string& host) {
  if (host == "localhost") return QHostAddress(QHostAddress::LocalHost);
  return QHostAddress(QString::fromStdString(host));
}

void PrintLine(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// One simulated processor of the run: its slots and state, the file it keeps them in, and the
// server that carries it.
class SimRoom {
 public:
  SimRoom(const kdsp::sim::SimOptions& options, std::optional<std::filesystem::path> stateFile)
      : processor(options), server(processor), stateFile_(std::move(stateFile)) {
    processor.onStore = [this](std::uint8_t) { save(); };
  }

  // A file that cannot be used is left alone and the run refused: starting fresh would
  // overwrite it. A fresh file is written at once, so a path that cannot be written is
  // reported now rather than at the first store.
  bool loadOrCreateState(std::string* error) {
    if (!stateFile_) return true;
    std::error_code absent;
    const bool exists = std::filesystem::exists(*stateFile_, absent) || absent;
    return exists ? processor.loadState(*stateFile_, error)
                  : processor.saveState(*stateFile_, error);
  }

  // A state that could not be written is told on stderr, and the run ends with status 1.
  void save() {
    std::string why;
    if (!stateFile_ || processor.saveState(*stateFile_, &why)) return;
    std::fprintf(stderr, "kdsp-sim: cannot save the state: %s\n", why.c_str());
    saveFailed_ = true;
  }
  bool saveFailed() const { return saveFailed_; }

  kdsp::sim::SimulatedProcessor processor;
  kdsp::sim::SimTcpServer server;

 private:
  std::optional<std::filesystem::path> stateFile_;
  bool saveFailed_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const kdsp::sim::SimCommandLineParse parse = kdsp::sim::ParseSimCommandLine(args);
  if (!parse.line) {
    std::fprintf(stderr, "kdsp-sim: %s\n\n%.*s", parse.error.c_str(),
                 static_cast<int>(kdsp::sim::SimUsage().size()), kdsp::sim::SimUsage().data());
    return 2;
  }
  const kdsp::sim::SimCommandLine& line = *parse.line;
  if (line.help) {
    std::fwrite(kdsp::sim::SimUsage().data(), 1, kdsp::sim::SimUsage().size(), stdout);
    return 0;
  }
  if (line.version) {
    std::fputs(kdsp::core::VersionLine("kdsp-sim").c_str(), stdout);
    return 0;
  }
  const QHostAddress address = ListenAddress(line.host);
  if (address.isNull()) {
    std::fprintf(stderr, "kdsp-sim: '%s' is not an IP address\n", line.host.c_str());
    return 2;
  }

  QCoreApplication app(argc, argv);
  std::vector<std::unique_ptr<SimRoom>> rooms;
  for (int number = 1; number <= line.count; ++number) {
    std::optional<std::filesystem::path> stateFile = line.stateFile;
    if (stateFile && line.count > 1)
      stateFile = kdsp::sim::NumberedStateFile(*line.stateFile, number);
    auto room = std::make_unique<SimRoom>(line.options, stateFile);
    if (std::string error; !room->loadOrCreateState(&error)) {
      std::fprintf(stderr, "kdsp-sim: %s\n", error.c_str());
      return 2;
    }
    if (line.verbose) {
      const std::string prefix = line.count > 1 ? "[" + std::to_string(number) + "] " : "";
      room->processor.onRecordLog = [prefix](std::string_view record) {
        PrintLine(prefix + std::string(record));
      };
    }
    rooms.push_back(std::move(room));
  }

  if (!CatchStopSignals()) {
    std::perror("kdsp-sim: cannot catch SIGINT and SIGTERM");
    return 1;
  }
  QSocketNotifier stopNotifier(g_signalPipe[0], QSocketNotifier::Read);
  QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, [&] {
    char byte = 0;
    [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &byte, 1);
    app.quit();
  });

  for (std::size_t i = 0; i < rooms.size(); ++i) {
    kdsp::sim::SimTcpServer& server = rooms[i]->server;
    const auto port = static_cast<quint16>(line.port == 0 ? 0 : line.port + i);
    if (!server.listen(address, port)) {
      std::fprintf(stderr, "kdsp-sim: cannot listen on %s:%u: %s\n", line.host.c_str(),
                   static_cast<unsigned>(port), server.errorString().toLocal8Bit().constData());
      return 1;
    }
    const QString shownHost = server.serverAddress().protocol() == QAbstractSocket::IPv6Protocol
                                  ? "[" + server.serverAddress().toString() + "]"
                                  : server.serverAddress().toString();
    PrintLine("listening on " + shownHost.toStdString() + ":" +
              std::to_string(server.serverPort()));
  }

  app.exec();
  bool saveFailed = false;
  for (const auto& room : rooms) {
    room->save();
    saveFailed = saveFailed || room->saveFailed();
  }
  return saveFailed ? 1 : 0;
}
