// SPDX-License-Identifier: GPL-3.0-or-later
// Parsing the kdsp-usb-device command line.
#include "usb_device_command_line.h"

#include <cstdint>

namespace kdsp::usbmodel {
namespace {

constexpr std::string_view kUsageHead =
    "usage: kdsp-usb-device (--uhid | --usbip [--no-out-endpoint]) [--vendor HEX]\n"
    "                       [--product HEX] [--name TEXT] [--mute] [SIMULATOR OPTIONS...]\n"
    "\n"
    "Makes the simulated processor a HID device of this machine's kernel, seen by hidraw, udev\n"
    "and the program as the real one is. Needs the right to open /dev/uhid or to write\n"
    "vhci-hcd's attach and detach files (root).\n"
    "\n"
    "  --uhid               create the device through /dev/uhid, on bus USB\n"
    "  --usbip              attach it as a full-speed USB device to vhci-hcd, over a loopback\n"
    "                       USB/IP connection\n"
    "  --no-out-endpoint    (--usbip) give the HID interface no interrupt out endpoint: output\n"
    "                       reports then come as SET_REPORT requests on endpoint 0\n"
    "  --vendor HEX         vendor id (default 0483)\n"
    "  --product HEX        product id (default 0157)\n"
    "  --name TEXT          product name (default \"Simulated processor\"), at most 126 bytes\n"
    "  --mute               a device that never answers: its output reports are dropped\n"
    "  --help               print this text\n"
    "\n"
    "Simulator options (not with --mute):\n";

constexpr std::string_view kUsageTail =
    "\n"
    "Standard input takes one command a line:\n"
    "  unplug               remove the device; answered by \"unplugged\"\n"
    "  plug                 present it again as a new device; answered by \"plugged\"\n"
    "  quit                 unplug, save the state and end (so does the end of the input)\n"
    "Standard output, one line each, flushed:\n"
    "  plugged              the kernel has the device (uhid started it, or the USB host chose\n"
    "                       its configuration)\n"
    "  unplugged            the kernel has been told to remove it, or it let go of it\n"
    "  plug failed          a plug command could not present the device (stderr says why)\n"
    "  record DESCRIPTION   the processor received a record, e.g.\n"
    "                       \"record 229 (E5) greeting: 00\"\n"
    "With --close-after the device unplugs itself once the last record's replies are out.\n"
    "\n"
    "Exit status: 0 after quit, end of input, SIGINT or SIGTERM; 1 when the device cannot be\n"
    "created or the state cannot be saved; 2 for wrong arguments or a state file that cannot\n"
    "be used.\n";

bool TakesValue(std::string_view option) {
  return option == "--vendor" || option == "--product" || option == "--name";
}

}  // namespace

UsbDeviceCommandLineParse ParseUsbDeviceCommandLine(std::span<const std::string_view> args) {
  UsbDeviceCommandLine line;
  bool uhid = false;
  bool usbip = false;
  bool noOutEndpoint = false;
  bool simulatorOptions = false;
  const auto failed = [](std::string error) {
    return UsbDeviceCommandLineParse{std::nullopt, std::move(error)};
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string error;
    switch (sim::TakeSimProcessorOption(args, i, line.processor, error)) {
      case sim::SimOptionMatch::kTaken:
        simulatorOptions = true;
        continue;
      case sim::SimOptionMatch::kWrong:
        return failed(error);
      case sim::SimOptionMatch::kNotOne:
        break;
    }
    std::string_view option = args[i];
    std::optional<std::string_view> value;
    if (const std::size_t eq = option.find('='); option.starts_with("--") && eq != option.npos) {
      value = option.substr(eq + 1);
      option = option.substr(0, eq);
    }
    if (TakesValue(option)) {
      if (!value) {
        if (i + 1 >= args.size()) return failed(std::string(option) + " needs a value");
        value = args[++i];
      }
      const auto bad = [&](std::string_view expected) {
        return failed("bad value '" + std::string(*value) + "' for " + std::string(option) +
                      ": expected " + std::string(expected));
      };
      if (option == "--name") {
        if (value->empty() || value->size() > kMaxNameBytes) return bad("a name of 1 to 126 bytes");
        line.identity.product = std::string(*value);
      } else {
        const auto id = sim::ParseHexNumber(*value, 4);
        if (!id) return bad("a hexadecimal id 0000..FFFF such as 0483");
        (option == "--vendor" ? line.identity.vendorId : line.identity.productId) =
            static_cast<std::uint16_t>(*id);
      }
      continue;
    }
    if (value && option != "--help") return failed(std::string(option) + " takes no value");
    if (option == "--help" || option == "-h") {
      line.help = true;
    } else if (option == "--uhid") {
      uhid = true;
    } else if (option == "--usbip") {
      usbip = true;
    } else if (option == "--no-out-endpoint") {
      noOutEndpoint = true;
    } else if (option == "--mute") {
      line.mute = true;
    } else {
      return failed("unknown argument '" + std::string(args[i]) + "'");
    }
  }
  if (line.help) return {line, {}};
  if (uhid && usbip) return failed("--uhid and --usbip exclude each other");
  if (!uhid && !usbip) return failed("choose --uhid or --usbip");
  if (noOutEndpoint && !usbip) return failed("--no-out-endpoint goes with --usbip");
  if (line.mute && simulatorOptions)
    return failed("a --mute device has no processor: simulator options do not apply");
  line.carrier = usbip ? Carrier::kUsbip : Carrier::kUhid;
  line.outEndpoint = !noOutEndpoint;
  return {line, {}};
}

std::string_view UsbDeviceUsage() {
  static const std::string usage = std::string(kUsageHead) +
                                   std::string(sim::SimProcessorOptionsUsage()) +
                                   std::string(kUsageTail);
  return usage;
}

}  // namespace kdsp::usbmodel
