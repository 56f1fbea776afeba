// SPDX-License-Identifier: GPL-3.0-or-later
// kdsp-usb-device: the simulated processor as a HID device of this machine's kernel, through
// /dev/uhid or vhci-hcd, for tests that run the program against a real hidraw node.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "device_session.h"
#include "fd_io.h"
#include "processor_reports.h"
#include "sim/simulated_processor.h"
#include "uhid_transport.h"
#include "usb_device_command_line.h"
#include "usbip_transport.h"
#include "vhci_ports.h"

namespace {

using namespace kdsp::usbmodel;
using Clock = std::chrono::steady_clock;

// SIGINT and SIGTERM become a byte on this pipe, so the loop ends normally: the device is
// unplugged and the state saved on the way out.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
  errno = saved;
}

bool CatchStopSignals() {
  if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  // A harness that stops reading must not kill the device before it is unplugged.
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  return ::sigaction(SIGINT, &action, nullptr) == 0 &&
         ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGPIPE, &ignore, nullptr) == 0;
}

void PrintLine(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void Warn(std::string_view line) {
  std::fprintf(stderr, "kdsp-usb-device: %.*s\n", static_cast<int>(line.size()), line.data());
}

// Milliseconds poll may sleep until wake (rounded up, so the wake is not early); -1 for none.
int PollTimeout(std::optional<Clock::time_point> wake) {
  if (!wake) return -1;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(*wake - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

// Standard input cut into lines; false once it has ended (or failed).
class StdinLines {
 public:
  template <class OnLine>
  bool read(OnLine onLine) {
    char buffer[1024];
    ssize_t n;
    do {
      n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    if (n <= 0) {
      // A last line without its newline still counts.
      if (!pending_.empty()) onLine(std::exchange(pending_, {}));
      return false;
    }
    pending_.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
      const std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!onLine(line)) return false;
    }
    return true;
  }

 private:
  std::string pending_;
};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const UsbDeviceCommandLineParse parse = ParseUsbDeviceCommandLine(args);
  if (!parse.line) {
    std::fprintf(stderr, "kdsp-usb-device: %s\n\n%.*s", parse.error.c_str(),
                 static_cast<int>(UsbDeviceUsage().size()), UsbDeviceUsage().data());
    return 2;
  }
  const UsbDeviceCommandLine& line = *parse.line;
  if (line.help) {
    std::fwrite(UsbDeviceUsage().data(), 1, UsbDeviceUsage().size(), stdout);
    return 0;
  }

  kdsp::sim::SimulatedProcessor processor(line.processor.options);
  const std::optional<std::filesystem::path>& stateFile = line.processor.stateFile;
  if (stateFile) {
    std::string error;
    std::error_code absent;
    // As kdsp-sim: a file that cannot be used is left alone and the run refused; a fresh one is
    // written at once, so a path that cannot be written shows now.
    const bool exists = std::filesystem::exists(*stateFile, absent) || absent;
    if (exists ? !processor.loadState(*stateFile, &error)
               : !processor.saveState(*stateFile, &error)) {
      Warn(error);
      return 2;
    }
  }
  bool saveFailed = false;
  const auto save = [&] {
    if (!stateFile) return;
    std::string why;
    if (!processor.saveState(*stateFile, &why)) {
      Warn("cannot save the state: " + why);
      saveFailed = true;
    }
  };
  processor.onStore = [&](std::uint8_t) { save(); };
  processor.onRecordLog = [](std::string_view record) {
    PrintLine("record " + std::string(record));
  };

  if (!CatchStopSignals()) {
    Warn(ErrnoText("cannot catch SIGINT and SIGTERM", errno));
    return 1;
  }

  ProcessorReports reports(line.mute ? nullptr : &processor);
  unsigned plugs = 0;
  DeviceSession::CarrierFactory factory =
      [&](DeviceSession::OutputSink sink, std::string* error) -> std::unique_ptr<DeviceCarrier> {
    if (line.carrier == Carrier::kUhid)
      return UhidTransport::Plug(line.identity, std::move(sink), error);
    return UsbipTransport::Plug(line.identity, line.outEndpoint,
                                ChooseDevid(static_cast<long>(::getpid()), plugs++),
                                std::move(sink), error);
  };
  DeviceSession session(reports, std::move(factory), PrintLine, Warn);
  if (!session.plug(Clock::now())) return 1;

  StdinLines input;
  bool running = true;
  while (running) {
    std::vector<pollfd> fds = {{STDIN_FILENO, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
    if (session.pollFd() >= 0) fds.push_back({session.pollFd(), POLLIN, 0});
    const int ready = ::poll(fds.data(), fds.size(), PollTimeout(session.nextWake()));
    if (ready < 0 && errno != EINTR) {
      Warn(ErrnoText("poll", errno));
      break;
    }
    const Clock::time_point now = Clock::now();
    if (ready > 0) {
      // The device first: requests the kernel is waiting on are answered before anything else.
      if (fds.size() > 2 && fds[2].revents != 0) session.carrierReadable(now);
      if (fds[1].revents != 0) running = false;
      if (running && fds[0].revents != 0)
        running = input.read([&](const std::string& l) { return session.command(l, now); });
    }
    session.tick(Clock::now());
  }
  if (session.plugged()) session.unplug();
  save();
  return saveFailed ? 1 : 0;
}
