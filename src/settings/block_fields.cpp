// SPDX-License-Identifier: GPL-3.0-or-later
// Describing a parameter block field by field, as the field table lays it out.
#include "settings/block_fields.h"

#include <cstdio>
#include <string_view>

#include "settings/field_table.h"
#include "settings/frequency_grid.h"
#include "settings/text_pieces.h"

namespace kdsp::settings {
namespace {

FieldValue Value(const std::string& name, std::string text, std::string json) {
  return {name, std::move(text), std::move(json)};
}

FieldValue Carried(const FieldEntry& f, const ParameterBlock& block) {
  std::string hex;
  for (std::size_t i = 0; i < f.size(); ++i) {
    std::uint8_t b = block.bytes()[f.offset + i];
    if (f.mask != 0) b &= f.mask;
    hex += Format(hex.empty() ? "%02X" : " %02X", b);
  }
  return Value(f.name, hex, JsonQuote(hex));
}

FieldValue Choice(const FieldEntry& f, std::int64_t value) {
  if (value >= 0 && static_cast<std::size_t>(value) < f.choices.size()) {
    const std::string name(TrimBlanks(f.choices[static_cast<std::size_t>(value)]));
    return Value(f.name, name, JsonQuote(name));
  }
  return Value(f.name, Format("%lld (out of range)", static_cast<long long>(value)),
               std::to_string(value));
}

FieldValue Frequency(const FieldEntry& f, const ParameterBlock& block, std::int64_t value) {
  const auto step = static_cast<unsigned>(value);
  bool off = false;
  if (f.directionOffset != kNoOffset) {
    const std::uint8_t direction = block.bytes()[f.directionOffset];
    off = (direction == kHighPass && step == 0) ||
          (direction == kLowPass && step == static_cast<unsigned>(kLastStep));
  }
  if (off)
    return Value(f.name, Format("OFF (step %u)", step), Format("{\"step\":%u,\"off\":true}", step));
  if (step > static_cast<unsigned>(kLastStep))
    return Value(f.name, Format("step %u (out of range)", step), Format("{\"step\":%u}", step));
  const float hz = gridFrequency(static_cast<int>(step));
  const std::string label(frequencyLabel(static_cast<int>(step)).view());
  return Value(
      f.name, Format("%.2f Hz [%s] (step %u)", hz, label.c_str(), step),
      Format("{\"step\":%u,\"hz\":%.2f,\"label\":%s}", step, hz, JsonQuote(label).c_str()));
}

FieldValue Describe(const FieldEntry& f, const ParameterBlock& block) {
  const std::int64_t v = ReadStored(f, block);
  const auto n = static_cast<long long>(v);
  switch (f.shape) {
    case FieldShape::kHexByte:
      return Value(f.name, Format("0x%02llX", n), Format("\"0x%02llX\"", n));
    case FieldShape::kChecksum:
      return Value(f.name, Format("0x%04llX", n), Format("\"0x%04llX\"", n));
    case FieldShape::kCarried:
      return Carried(f, block);
    case FieldShape::kNumber:
      return Value(f.name, std::to_string(n), std::to_string(n));
    case FieldShape::kOffAtZero:
      return Value(f.name, n == 0 ? "OFF" : std::to_string(n), std::to_string(n));
    case FieldShape::kChoice:
      return Choice(f, v);
    case FieldShape::kOnOff: {
      // A byte that is neither 0 nor 1 is no switch position; "off" would be given back as 0.
      if (f.mask == 0 && v != 0 && v != 1)
        return Value(f.name, Format("%lld (out of range)", n), std::to_string(n));
      const bool on = f.mask != 0 ? (v != 0) != f.setMeansOff : v == 1;
      return Value(f.name, on ? "on" : "off", on ? "true" : "false");
    }
    case FieldShape::kPolarity:
      return Value(f.name, v != 0 ? "inverted" : "normal", v != 0 ? "true" : "false");
    case FieldShape::kMixCell: {
      const long long level = n & 0x7F;
      const bool muted = (n & kMixMuted) != 0;
      return Value(f.name, Format("%lld%s", level, muted ? " muted" : ""),
                   Format("{\"level\":%lld,\"muted\":%s}", level, muted ? "true" : "false"));
    }
    case FieldShape::kGain:
      return Value(f.name, Format("%+.1f dB", n / 10.0), Format("%.1f", n / 10.0));
    case FieldShape::kFrequency:
      return Frequency(f, block, v);
    case FieldShape::kBandwidth: {
      const double octaves = (n * 5 + 5) / 100.0;
      return Value(f.name, Format("%.2f oct", octaves), Format("%.2f", octaves));
    }
    case FieldShape::kFilterOrder:
      if (v >= 0 && static_cast<std::size_t>(v) < kFilterOrderSlopes.size()) {
        const int slope = kFilterOrderSlopes[static_cast<std::size_t>(v)];
        return Value(f.name, Format("%d dB/oct", slope), std::to_string(slope));
      }
      // Not as a number, which would read as a slope.
      return Value(f.name, Format("%lld (out of range)", n),
                   JsonQuote(Format("%lld (out of range)", n)));
    case FieldShape::kThreshold:
      return Value(f.name, Format("%+lld dB", n), std::to_string(n));
    case FieldShape::kDelay: {
      // The knobs step by 10 microseconds; a delay between the steps shows whole, so that it is
      // not given back rounded onto one.
      const double ms = n / 1000.0;
      const std::string text =
          n % range::kOutputDelayKnobToBlock == 0 ? Format("%.2f", ms) : Format("%.3f", ms);
      return Value(f.name, text + " ms", text);
    }
  }
  return Value(f.name, std::to_string(n), std::to_string(n));
}

}  // namespace

std::string JsonQuote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + '"';
}

FieldValue DescribeField(const FieldEntry& field, const ParameterBlock& block) {
  return Describe(field, block);
}

std::vector<FieldValue> DescribeBlock(const ParameterBlock& block) {
  std::vector<FieldValue> fields;
  fields.reserve(FieldTable().size());
  for (const FieldEntry& f : FieldTable()) fields.push_back(Describe(f, block));
  return fields;
}

std::string FieldsToJson(const std::vector<FieldValue>& fields) {
  std::string out = "{";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    out += i == 0 ? "\n  " : ",\n  ";
    out += JsonQuote(fields[i].name) + ": " + fields[i].json;
  }
  return out + "\n}\n";
}

}  // namespace kdsp::settings
