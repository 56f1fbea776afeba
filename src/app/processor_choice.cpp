// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/processor_choice.h"

#include <utility>

#include "device/hid_device.h"

namespace kdsp::app {

ProcessorChoice::ProcessorChoice(device::DeviceLink& link, std::filesystem::path programIni,
                                 std::function<void(bool checked)> setWifiItemChecked)
    : link_(link),
      ini_(std::move(programIni)),
      setWifiItemChecked_(std::move(setWifiItemChecked)) {}

void ProcessorChoice::chooseUsb(const std::string& path) {
  // Chosen first, so that switching WiFi control off looks for this processor only.
  link_.setUsbPath(path);
  if (link_.wifiChecked()) {
    link_.WiFi1Click();
    setWifiItemChecked_(false);
  }
}

void ProcessorChoice::chooseWifi(const settings::HostPort& address) {
  if (link_.wifiChecked()) {
    setWifiItemChecked_(false);
    link_.WiFi1Click();
  }
  link_.setWifiAddress(address.host, address.port);
  setWifiItemChecked_(true);
  link_.WiFi1Click();
}

ProcessorChoice::Current ProcessorChoice::current() const {
  if (link_.wifiChecked()) return {true, {}, {link_.wifiHost(), link_.wifiPort()}};
  const device::HidDevice* device = link_.device();
  return {false, device != nullptr ? device->PnPInfo().DevicePath : std::string(), {}};
}

std::vector<device::DeviceLink::UsbProcessor> ProcessorChoice::usbProcessors() const {
  return link_.usbProcessors();
}

std::vector<settings::WifiProcessor> ProcessorChoice::wifiProcessors() const {
  return settings::ReadWifiProcessors(ini_);
}

settings::WriteResult ProcessorChoice::add(const settings::WifiProcessor& processor) {
  return settings::AddWifiProcessor(ini_, processor);
}

settings::WriteResult ProcessorChoice::forget(std::string_view name) {
  return settings::ForgetWifiProcessor(ini_, name);
}

}  // namespace kdsp::app
