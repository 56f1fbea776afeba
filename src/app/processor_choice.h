// SPDX-License-Identifier: GPL-3.0-or-later
// Which processor the windows control: one of those on USB, or one reached through its WiFi
// module, and the WiFi processors the user keeps under names. A choice is taken as a processor
// just plugged in is: greeted, and the user asked whether to take its settings.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_link.h"
#include "settings/safe_file_write.h"
#include "settings/wifi_processors.h"

namespace kdsp::app {

class ProcessorChoice {
 public:
  // setWifiItemChecked keeps the WiFi Control item's check in step with the link.
  ProcessorChoice(device::DeviceLink& link, std::filesystem::path programIni,
                  std::function<void(bool checked)> setWifiItemChecked);

  // WiFi control goes off, and the link takes the processor at path.
  void chooseUsb(const std::string& path);
  // WiFi control goes on toward the address; on already, it reconnects there.
  void chooseWifi(const settings::HostPort& address);

  // What the link talks to: a USB processor's path (empty when it holds none), or the WiFi
  // address while WiFi control is on.
  struct Current {
    bool wifi = false;
    std::string usbPath;
    settings::HostPort address;
  };
  Current current() const;
  std::vector<device::DeviceLink::UsbProcessor> usbProcessors() const;

  // The named WiFi processors, as the INI file keeps them.
  std::vector<settings::WifiProcessor> wifiProcessors() const;
  settings::WriteResult add(const settings::WifiProcessor& processor);
  settings::WriteResult forget(std::string_view name);

 private:
  device::DeviceLink& link_;
  std::filesystem::path ini_;
  std::function<void(bool)> setWifiItemChecked_;
};

}  // namespace kdsp::app
