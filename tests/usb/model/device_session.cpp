// SPDX-License-Identifier: GPL-3.0-or-later
// The plugs of the device and the traffic of each.
#include "device_session.h"

#include <utility>

namespace kdsp::usbmodel {
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

DeviceSession::DeviceSession(ProcessorReports& reports, CarrierFactory factory, Print print,
                             Print warn)
    : reports_(reports),
      factory_(std::move(factory)),
      print_(std::move(print)),
      warn_(std::move(warn)) {}

bool DeviceSession::plug(Clock::time_point now) {
  now_ = now;
  if (carrier_) {
    warn_("already plugged");
    if (announced_) print_("plugged");
    return true;
  }
  reports_.beginLink();
  announced_ = false;
  enumeratedAt_.reset();
  dropSince_.reset();
  std::string error;
  carrier_ = factory_(
      [this](std::span<const std::uint8_t> data) { reports_.outputReport(data, now_); }, &error);
  if (!carrier_) {
    warn_(error);
    print_("plug failed");
    return false;
  }
  return true;
}

void DeviceSession::unplug() {
  if (carrier_) {
    std::string error;
    if (!carrier_->unplug(&error)) warn_(error);
    carrier_.reset();
  }
  print_("unplugged");
}

void DeviceSession::lost(const std::string& why) {
  warn_(why);
  std::string ignored;
  carrier_->unplug(&ignored);
  carrier_.reset();
  print_("unplugged");
}

void DeviceSession::announce(Clock::time_point now) {
  if (announced_ || !carrier_ || !carrier_->enumerated()) return;
  if (!enumeratedAt_) enumeratedAt_ = now;
  const bool present = carrier_->hidrawPresent();
  if (!present && now - *enumeratedAt_ < kNodeWait) return;
  if (!present) warn_("the kernel has the device, but no hidraw node of it shows in /sys");
  announced_ = true;
  print_("plugged");
}

void DeviceSession::carrierReadable(Clock::time_point now) {
  now_ = now;
  if (!carrier_) return;
  std::string error;
  if (!carrier_->service(&error)) {
    lost(error);
    return;
  }
  tick(now);
}

void DeviceSession::tick(Clock::time_point now) {
  now_ = now;
  const auto due = reports_.takeDue(now);
  if (!carrier_) return;  // replies for a device that is gone
  announce(now);
  for (const auto& report : due) {
    std::string error;
    if (!carrier_->deliver(report, &error)) {
      lost(error);
      return;
    }
  }
  // A dropped link goes once its last replies are out: fetched by the host, or given up on.
  if (!announced_ || !reports_.dropComplete()) return;
  if (!dropSince_) dropSince_ = now;
  if (!carrier_->holdsReports() || now - *dropSince_ >= kDropGrace) unplug();
}

bool DeviceSession::command(std::string_view line, Clock::time_point now) {
  const std::string_view word = Trimmed(line);
  if (word == "quit") return false;
  if (word == "unplug") {
    unplug();
  } else if (word == "plug") {
    plug(now);
  } else if (!word.empty()) {
    warn_("unknown command '" + std::string(word) + "' (plug, unplug or quit)");
  }
  return true;
}

std::optional<DeviceSession::Clock::time_point> DeviceSession::nextWake() const {
  std::optional<Clock::time_point> wake = reports_.nextDue();
  const auto sooner = [&](Clock::time_point t) {
    if (!wake || t < *wake) wake = t;
  };
  if (carrier_ && dropSince_) sooner(*dropSince_ + kDropGrace);
  // The hidraw node shows up without a word to the device: it is looked for again and again.
  if (carrier_ && enumeratedAt_ && !announced_) sooner(now_ + kNodePoll);
  return wake;
}

}  // namespace kdsp::usbmodel
