// SPDX-License-Identifier: GPL-3.0-or-later
// The processor's USB descriptors as bytes.
#include "usb_hid_descriptors.h"

#include <algorithm>

namespace kdsp::usbmodel {
namespace {

constexpr std::uint8_t kHidInterfaceClass = 0x03;
constexpr std::uint8_t kInterruptTransfer = 0x03;
constexpr std::uint8_t kIntervalMs = 1;
constexpr std::uint8_t kBusPowered = 0x80;
constexpr std::uint8_t kMaxPower100mA = 50;  // in 2 mA units
constexpr std::size_t kMaxStringUnits = (255 - 2) / 2;

std::uint8_t Low(std::size_t value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint8_t High(std::size_t value) {
  return static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void AppendEndpoint(std::vector<std::uint8_t>& out, std::uint8_t address) {
  out.insert(out.end(),
             {static_cast<std::uint8_t>(kEndpointDescriptorLength), kEndpointDescriptorType,
              address, kInterruptTransfer, Low(kReportBytes), High(kReportBytes), kIntervalMs});
}

// The next code point of a UTF-8 text, or U+FFFD for a byte that starts no valid sequence.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i++);
  if (lead < 0x80) return lead;
  int more = 0;
  char32_t value = 0;
  char32_t least = 0;
  if ((lead & 0xE0) == 0xC0) {
    more = 1, value = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2, value = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3, value = lead & 0x07, least = 0x10000;
  } else {
    return 0xFFFD;
  }
  for (int k = 0; k < more; ++k) {
    if (i >= text.size() || (byte(i) & 0xC0) != 0x80) return 0xFFFD;
    value = value << 6 | (byte(i++) & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0xFFFD;
  return value;
}

}  // namespace

std::vector<std::uint8_t> Utf16Le(std::string_view utf8) {
  std::vector<std::uint8_t> out;
  const auto unit = [&](char32_t u) {
    out.push_back(static_cast<std::uint8_t>(u & 0xFF));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  };
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t c = NextCodePoint(utf8, i);
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
  }
  return out;
}

std::array<std::uint8_t, kDeviceDescriptorLength> DeviceDescriptor(const UsbDeviceIdentity& id) {
  return {static_cast<std::uint8_t>(kDeviceDescriptorLength),
          kDeviceDescriptorType,
          0x00,
          0x02,  // bcdUSB 2.00
          0x00,  // class, subclass, protocol: per interface
          0x00,
          0x00,
          kMaxPacketSize0,
          Low(id.vendorId),
          High(id.vendorId),
          Low(id.productId),
          High(id.productId),
          Low(id.bcdDevice),
          High(id.bcdDevice),
          kManufacturerString,
          kProductString,
          kSerialNumberString,
          1};  // one configuration
}

std::array<std::uint8_t, kHidDescriptorLength> HidDescriptor() {
  return {static_cast<std::uint8_t>(kHidDescriptorLength),
          kHidDescriptorType,
          0x11,
          0x01,  // bcdHID 1.11
          0x00,  // no country
          1,     // one class descriptor
          kReportDescriptorType,
          Low(kReportDescriptor.size()),
          High(kReportDescriptor.size())};
}

std::vector<std::uint8_t> ConfigurationDescriptor(bool outEndpoint) {
  const std::size_t total = outEndpoint ? kConfigurationLengthWithOut : kConfigurationLengthInOnly;
  const auto endpoints = static_cast<std::uint8_t>(outEndpoint ? 2 : 1);
  // clang-format off
  std::vector<std::uint8_t> out = {
      // Configuration: total length, one interface, its value, no string, bus powered, 100 mA.
      static_cast<std::uint8_t>(kConfigurationHeaderLength), kConfigurationDescriptorType,
      Low(total), High(total), 1, kConfigurationValue, 0, kBusPowered, kMaxPower100mA,
      // The HID interface: number, alternate setting 0, its endpoints, class HID, no boot
      // subclass or protocol, no string.
      static_cast<std::uint8_t>(kInterfaceDescriptorLength), kInterfaceDescriptorType,
      kHidInterfaceNumber, 0, endpoints, kHidInterfaceClass, 0, 0, 0,
  };
  // clang-format on
  const auto hid = HidDescriptor();
  out.reserve(total);
  out.insert(out.end(), hid.begin(), hid.end());
  AppendEndpoint(out, kInterruptInEndpoint);
  if (outEndpoint) AppendEndpoint(out, kInterruptOutEndpoint);
  return out;
}

std::optional<std::vector<std::uint8_t>> StringDescriptor(const UsbDeviceIdentity& id,
                                                          std::uint8_t index) {
  std::vector<std::uint8_t> text;
  switch (index) {
    case 0:
      return std::vector<std::uint8_t>{4, kStringDescriptorType, Low(kLanguageEnglishUs),
                                       High(kLanguageEnglishUs)};
    case kManufacturerString:
      text = Utf16Le(id.manufacturer);
      break;
    case kProductString:
      text = Utf16Le(id.product);
      break;
    case kSerialNumberString:
      text = Utf16Le(id.serialNumber);
      break;
    default:
      return std::nullopt;
  }
  // A surrogate pair is not split when the text is cut.
  std::size_t units = std::min(text.size() / 2, kMaxStringUnits);
  if (units > 0 && units < text.size() / 2 && (text[2 * units - 1] & 0xFC) == 0xD8) --units;
  std::vector<std::uint8_t> descriptor = {static_cast<std::uint8_t>(2 + 2 * units),
                                          kStringDescriptorType};
  descriptor.insert(descriptor.end(), text.begin(), text.begin() + 2 * units);
  return descriptor;
}

}  // namespace kdsp::usbmodel
