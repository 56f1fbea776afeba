// SPDX-License-Identifier: GPL-3.0-or-later
// The kernel's virtual host controller (vhci-hcd) as its sysfs files show it: which root hub
// ports are free, what to write to attach a device to one, and whether a port still holds the
// device this program attached. No I/O: the transport reads and writes the files.
//
// /sys/devices/platform/vhci_hcd.0/status, one line per port after a header line:
//   hub port sta spd dev      sockfd local_busid
//   hs  0000 004 000 00000000 000000 0-0
//   ss  0008 006 003 00010002 000003 3-1
// "hs" ports are on the hub for low-, full- and high-speed devices, "ss" ones on the SuperSpeed
// hub; sta 4 is a free port, 6 one in use; dev is the device id given at attach, in hex.
// Writing "PORT SOCKFD DEVID SPEED" to .../attach plugs a device in on port PORT (numbered as in
// the status file), speaking USB/IP over the connected stream socket SOCKFD of the writing
// process; writing "PORT" to .../detach unplugs it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kdsp::usbmodel {

inline constexpr std::string_view kVhciStatusPath = "/sys/devices/platform/vhci_hcd.0/status";
inline constexpr std::string_view kVhciAttachPath = "/sys/devices/platform/vhci_hcd.0/attach";
inline constexpr std::string_view kVhciDetachPath = "/sys/devices/platform/vhci_hcd.0/detach";

inline constexpr unsigned kUsbSpeedFull = 2;   // USB_SPEED_FULL of the kernel
inline constexpr unsigned kVhciPortFree = 4;   // VDEV_ST_NULL
inline constexpr unsigned kVhciPortInUse = 6;  // VDEV_ST_USED

struct VhciPort {
  bool superSpeedHub = false;
  unsigned port = 0;
  unsigned status = 0;
  std::uint32_t devid = 0;

  bool operator==(const VhciPort&) const = default;
};

// The port lines of a status file; the header and anything unreadable are skipped.
std::vector<VhciPort> ParseVhciStatus(std::string_view text);

// Free ports of the high-speed hub, the one a full-speed device goes on, lowest first.
std::vector<unsigned> FreeHighSpeedPorts(std::string_view statusText);

// Whether the status shows port in use by the device attached with devid: a port the kernel
// has let go of (and perhaps given to another device since) is not detached.
bool PortHoldsDevice(std::string_view statusText, unsigned port, std::uint32_t devid);

// The line for the attach file.
std::string AttachRequest(unsigned port, int sockfd, std::uint32_t devid, unsigned speed);

// A device id ((bus << 16) | device number) unlikely to be another attacher's: bus from the
// process id, device number from the count of plugs.
std::uint32_t ChooseDevid(long processId, unsigned plugCount);

}  // namespace kdsp::usbmodel
