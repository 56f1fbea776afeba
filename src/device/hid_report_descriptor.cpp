// SPDX-License-Identifier: GPL-3.0-or-later
// HID report descriptor reading: report lengths and whether report IDs are used.
#include "device/hid_report_descriptor.h"

#include <array>
#include <cstddef>

namespace kdsp::device {
namespace {

// Item types; local items (usages) do not shape reports.
enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1 };

// Main item tags that carry data fields.
constexpr std::uint8_t kInput = 0x8;
constexpr std::uint8_t kOutput = 0x9;
constexpr std::uint8_t kFeature = 0xB;

// Global item tags that shape the reports.
constexpr std::uint8_t kReportSize = 0x7;
constexpr std::uint8_t kReportId = 0x8;
constexpr std::uint8_t kReportCount = 0x9;
constexpr std::uint8_t kPush = 0xA;
constexpr std::uint8_t kPop = 0xB;

constexpr std::uint8_t kLongItemPrefix = 0xFE;

// Deeper nesting than any real descriptor needs; the kernel allows only 4.
constexpr std::size_t kMaxPushDepth = 16;

// The longest report a 16-bit length can describe, without its report ID byte, in bits.
constexpr std::uint64_t kMaxReportBits = (0xFFFFull - 1) * 8;

struct Globals {
  std::uint32_t reportSize = 0;
  std::uint32_t reportCount = 0;
  std::uint8_t reportId = 0;  // 0: no Report ID item yet
};

std::uint32_t ItemValue(std::span<const std::uint8_t> data) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < data.size(); ++i) value |= std::uint32_t{data[i]} << (8 * i);
  return value;
}

std::uint16_t ReportBytes(std::uint64_t bits) {
  // The class driver counts the ID byte even where the device has none.
  return bits == 0 ? 0 : static_cast<std::uint16_t>((bits + 7) / 8 + 1);
}

}  // namespace

std::optional<HidReportLengths> ParseReportDescriptor(std::span<const std::uint8_t> descriptor) {
  // Bits of data per report kind (input, output, feature) and report ID.
  std::array<std::array<std::uint64_t, 256>, 3> bits{};
  std::array<Globals, kMaxPushDepth> stack{};
  std::size_t depth = 0;
  Globals globals;
  bool usesReportIds = false;

  std::size_t pos = 0;
  while (pos < descriptor.size()) {
    const std::uint8_t prefix = descriptor[pos];
    if (prefix == kLongItemPrefix) {
      if (descriptor.size() - pos < 3) return std::nullopt;
      const std::size_t length = descriptor[pos + 1];
      if (descriptor.size() - pos - 3 < length) return std::nullopt;
      pos += 3 + length;
      continue;
    }
    static constexpr std::size_t kDataSizes[4] = {0, 1, 2, 4};
    const std::size_t size = kDataSizes[prefix & 0x3];
    if (descriptor.size() - pos - 1 < size) return std::nullopt;
    const std::uint32_t value = ItemValue(descriptor.subspan(pos + 1, size));
    const auto type = static_cast<std::uint8_t>((prefix >> 2) & 0x3);
    const auto tag = static_cast<std::uint8_t>(prefix >> 4);
    pos += 1 + size;

    if (type == kGlobal) {
      switch (tag) {
        case kReportSize:
          globals.reportSize = value;
          break;
        case kReportCount:
          globals.reportCount = value;
          break;
        case kReportId:
          if (value == 0 || value > 255) return std::nullopt;
          globals.reportId = static_cast<std::uint8_t>(value);
          usesReportIds = true;
          break;
        case kPush:
          if (depth == kMaxPushDepth) return std::nullopt;
          stack[depth++] = globals;
          break;
        case kPop:
          if (depth == 0) return std::nullopt;
          globals = stack[--depth];
          break;
        default:
          break;
      }
    } else if (type == kMain && (tag == kInput || tag == kOutput || tag == kFeature)) {
      const int kind = tag == kInput ? 0 : tag == kOutput ? 1 : 2;
      std::uint64_t& total = bits[kind][globals.reportId];
      total += std::uint64_t{globals.reportSize} * globals.reportCount;
      if (total > kMaxReportBits) return std::nullopt;
    }
  }

  auto longest = [&](int kind) {
    std::uint64_t most = 0;
    for (std::uint64_t b : bits[kind]) most = b > most ? b : most;
    return ReportBytes(most);
  };
  HidReportLengths lengths;
  lengths.input = longest(0);
  lengths.output = longest(1);
  lengths.feature = longest(2);
  lengths.usesReportIds = usesReportIds;
  return lengths;
}

}  // namespace kdsp::device
