// SPDX-License-Identifier: GPL-3.0-or-later
// HID report descriptor reading: the longest input, output and feature report a device sends or
// takes, counted the way the HID class driver counts them for its capability record.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace kdsp::device {

struct HidReportLengths {
  // Bytes of the longest report of each kind including the leading report ID byte, which is
  // counted even for a device without report IDs (it is 0 there); 0 when there is no such report.
  std::uint16_t input = 0;
  std::uint16_t output = 0;
  std::uint16_t feature = 0;
  // The descriptor declares report IDs: every report travels with its ID as first byte.
  bool usesReportIds = false;
};

// Reads the short items of a descriptor (global Report Size, Report Count and Report ID with
// Push and Pop; the main items Input, Output and Feature); long items are stepped over.
// A truncated item, a Pop without Push, a Report ID of 0 or above 255, or a report longer than
// a 16-bit length gives nothing: such a descriptor is not one a device could have been bound with.
std::optional<HidReportLengths> ParseReportDescriptor(std::span<const std::uint8_t> descriptor);

}  // namespace kdsp::device
