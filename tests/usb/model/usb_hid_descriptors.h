// SPDX-License-Identifier: GPL-3.0-or-later
// The descriptors of the processor as a USB device: a full-speed device with one configuration
// and one HID interface, its 64-byte reports on interrupt endpoints 0x81 (in) and 0x01 (out) or,
// without the out endpoint, output reports through SET_REPORT on endpoint 0. The one source of
// these bytes for both ways the device is presented to the kernel (uhid takes the report
// descriptor, USB/IP all of them).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/usb_identity.h"

namespace kdsp::usbmodel {

// Who the device says it is.
struct UsbDeviceIdentity {
  std::uint16_t vendorId = core::kProcessorVendorId;
  std::uint16_t productId = core::kProcessorProductId;
  std::uint16_t bcdDevice = 0x0200;
  std::string manufacturer = "Karaoke DSP Control";
  std::string product = "Simulated processor";
  std::string serialNumber = "SIM-0001";
};

// A report's bytes on the bus: the descriptor declares no report IDs, so the ID byte 0 the
// program puts first never travels.
inline constexpr std::size_t kReportBytes = 64;

inline constexpr std::uint8_t kInterruptInEndpoint = 0x81;
inline constexpr std::uint8_t kInterruptOutEndpoint = 0x01;
inline constexpr std::uint8_t kHidInterfaceNumber = 0;
inline constexpr std::uint8_t kConfigurationValue = 1;
inline constexpr std::uint8_t kMaxPacketSize0 = 64;

// String descriptor indexes (0 is the list of languages).
inline constexpr std::uint8_t kManufacturerString = 1;
inline constexpr std::uint8_t kProductString = 2;
inline constexpr std::uint8_t kSerialNumberString = 3;
inline constexpr std::uint16_t kLanguageEnglishUs = 0x0409;

// Descriptor types.
inline constexpr std::uint8_t kDeviceDescriptorType = 0x01;
inline constexpr std::uint8_t kConfigurationDescriptorType = 0x02;
inline constexpr std::uint8_t kStringDescriptorType = 0x03;
inline constexpr std::uint8_t kInterfaceDescriptorType = 0x04;
inline constexpr std::uint8_t kEndpointDescriptorType = 0x05;
inline constexpr std::uint8_t kHidDescriptorType = 0x21;
inline constexpr std::uint8_t kReportDescriptorType = 0x22;

// Vendor-defined usage page FF00, no report IDs: one input report and one output report of 64
// bytes each (report count 64 of size 8), so hidraw and the HID class driver count 65 bytes with
// the ID byte.
inline constexpr std::array<std::uint8_t, 25> kReportDescriptor = {
    0x06, 0x00, 0xFF,  // Usage Page (Vendor Defined 0xFF00)
    0x09, 0x01,        // Usage (0x01)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x40,        //   Report Count (64)
    0x09, 0x02,        //   Usage (0x02)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x03,        //   Usage (0x03)
    0x91, 0x02,        //   Output (Data, Variable, Absolute)
    0xC0,              // End Collection
};

inline constexpr std::size_t kDeviceDescriptorLength = 18;
inline constexpr std::size_t kConfigurationHeaderLength = 9;
inline constexpr std::size_t kInterfaceDescriptorLength = 9;
inline constexpr std::size_t kHidDescriptorLength = 9;
inline constexpr std::size_t kEndpointDescriptorLength = 7;
// The whole configuration: configuration, interface, HID, endpoint in [, endpoint out].
inline constexpr std::size_t kConfigurationLengthWithOut =
    kConfigurationHeaderLength + kInterfaceDescriptorLength + kHidDescriptorLength +
    2 * kEndpointDescriptorLength;
inline constexpr std::size_t kConfigurationLengthInOnly =
    kConfigurationLengthWithOut - kEndpointDescriptorLength;
static_assert(kConfigurationLengthWithOut == 41 && kConfigurationLengthInOnly == 34);

// USB 2.0, class defined by the interface, bMaxPacketSize0 64, one configuration; strings 1, 2
// and 3 for manufacturer, product and serial number.
std::array<std::uint8_t, kDeviceDescriptorLength> DeviceDescriptor(const UsbDeviceIdentity& id);
// HID 1.11, no country, one report descriptor of kReportDescriptor's length.
std::array<std::uint8_t, kHidDescriptorLength> HidDescriptor();
// The configuration with everything below it, as GET_DESCRIPTOR(configuration) returns it.
std::vector<std::uint8_t> ConfigurationDescriptor(bool outEndpoint);
// String descriptor index: 0 lists US English; 1..3 are the identity's strings in UTF-16LE
// (cut at 126 characters, the most a descriptor holds). Nothing for any other index.
std::optional<std::vector<std::uint8_t>> StringDescriptor(const UsbDeviceIdentity& id,
                                                          std::uint8_t index);

// UTF-8 to UTF-16LE code units as bytes; a malformed sequence becomes U+FFFD.
std::vector<std::uint8_t> Utf16Le(std::string_view utf8);

}  // namespace kdsp::usbmodel
