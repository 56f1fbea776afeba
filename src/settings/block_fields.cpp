// Describing a parameter block field by field.
#include "settings/block_fields.h"

#include <cstdio>
#include <span>
#include <string_view>

#include "settings/frequency_grid.h"
#include "settings/value_texts.h"

namespace kdsp::settings {
namespace {

std::string Format(const char* format, auto... args) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + '"';
}

std::string Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

class Describer {
 public:
  explicit Describer(std::vector<FieldValue>& out) : out_(out) {}

  void add(std::string name, std::string text, std::string json) {
    out_.push_back({std::move(name), std::move(text), std::move(json)});
  }
  void number(const std::string& name, long value, std::string_view unit = {}) {
    add(name, unit.empty() ? std::to_string(value) : Format("%ld %s", value, unit.data()),
        std::to_string(value));
  }
  void carried(const std::string& name, std::span<const std::uint8_t> bytes) {
    std::string hex;
    for (std::uint8_t b : bytes) hex += Format(hex.empty() ? "%02X" : " %02X", b);
    add(name, hex, Quote(hex));
  }
  void onOff(const std::string& name, bool on) {
    add(name, on ? "on" : "off", on ? "true" : "false");
  }
  // A table index shown by its name; values past the table are shown as numbers.
  template <std::size_t N>
  void choice(const std::string& name, unsigned value,
              const std::array<std::string_view, N>& names) {
    if (value < N) {
      add(name, Trim(names[value]), Quote(Trim(names[value])));
    } else {
      add(name, Format("%u (out of range)", value), std::to_string(value));
    }
  }
  void frequency(const std::string& name, unsigned step, bool offAtZero, bool offAtTop) {
    if ((offAtZero && step == 0) || (offAtTop && step == settings::kLastStep)) {
      add(name, Format("OFF (step %u)", step), Format("{\"step\":%u,\"off\":true}", step));
      return;
    }
    if (step > settings::kLastStep) {
      add(name, Format("step %u (out of range)", step), Format("{\"step\":%u}", step));
      return;
    }
    const float hz = settings::gridFrequency(static_cast<int>(step));
    const std::string label(settings::frequencyLabel(static_cast<int>(step)).view());
    add(name, Format("%.2f Hz [%s] (step %u)", hz, label.c_str(), step),
        Format("{\"step\":%u,\"hz\":%.2f,\"label\":%s}", step, hz, Quote(label).c_str()));
  }

 private:
  std::vector<FieldValue>& out_;
};

std::span<const std::uint8_t> Bytes(const void* at, std::size_t n) {
  return {static_cast<const std::uint8_t*>(at), n};
}

void DescribeMain(const ParameterBlock& b, Describer& d) {
  d.add("marker", Format("0x%02X", b.marker), Format("\"0x%02X\"", b.marker));
  d.choice("musicInput", b.musicInput, settings::kMusicInputNames);
  d.add("feedbackLevel", b.feedbackLevel == 0 ? "OFF" : std::to_string(b.feedbackLevel),
        std::to_string(b.feedbackLevel));
  d.carried("reserved3", Bytes(&b.reserved3, 1));
  d.number("masterMusic", b.masterMusic);
  d.number("masterMic", b.masterMic);
  d.onOff("micFlags.setsLinked", b.micFlags & settings::kMicSetsLinked);
  d.add("micFlags.mic13Polarity", (b.micFlags & settings::kMicPolarity1) ? "inverted" : "normal",
        (b.micFlags & settings::kMicPolarity1) ? "true" : "false");
  d.add("micFlags.mic24Polarity", (b.micFlags & settings::kMicPolarity2) ? "inverted" : "normal",
        (b.micFlags & settings::kMicPolarity2) ? "true" : "false");
  const std::uint8_t carriedBits = b.micFlags & 0xE3;
  d.carried("micFlags.carriedBits", Bytes(&carriedBits, 1));
  d.number("masterEffect", b.masterEffect);
  d.add("subDecay", b.subDecay == 0 ? "OFF" : std::to_string(b.subDecay),
        std::to_string(b.subDecay));
  d.carried("reserved9", Bytes(&b.reserved9, 1));
  for (int o = 0; o < settings::kOutputCount; ++o) {
    for (int s = 0; s < settings::kSourceCount; ++s) {
      const std::uint8_t v = b.mix[o][s];
      const unsigned level = v & 0x7F;
      const bool muted = v & settings::kMixMuted;
      d.add(
          Format("mix[%s][%s]", settings::kOutputNames[o].data(), settings::kSourceNames[s].data()),
          Format("%u%s", level, muted ? " muted" : ""),
          Format("{\"level\":%u,\"muted\":%s}", level, muted ? "true" : "false"));
    }
  }
}

void DescribeBands(const ParameterBlock& b, Describer& d) {
  for (int i = 0; i < settings::kBandCount; ++i) {
    const settings::EqBand& band = b.bands[i];
    const std::string at = Format("bands[%d].", i);
    d.add(at + "gain", Format("%+.1f dB", band.gain / 10.0), Format("%.1f", band.gain / 10.0));
    d.frequency(at + "frequency", band.frequency, false, false);
    const double octaves = (band.bandwidth * 5 + 5) / 100.0;
    d.add(at + "bandwidth", Format("%.2f oct", octaves), Format("%.2f", octaves));
    d.choice(at + "type", band.type, settings::kBandTypeNames);
    d.onOff(at + "on", band.on == 1);
    d.carried(at + "spare", Bytes(&band.spare, 1));
  }
}

void DescribeFilters(const ParameterBlock& b, Describer& d) {
  static constexpr std::array<std::string_view, 2> kDirections = {"high-pass", "low-pass"};
  for (int k = 0; k < settings::kFilterCount; ++k) {
    const settings::CrossoverFilter& f = b.filters[k];
    const std::string at = Format("filters[%d].", k);
    d.frequency(at + "frequency", f.frequency, f.direction == settings::kHighPass,
                f.direction == settings::kLowPass);
    d.choice(at + "family", f.family, settings::kFilterFamilyNames);
    d.choice(at + "direction", f.direction, kDirections);
    if (f.order < settings::kFilterOrderSlopes.size()) {
      const int slope = settings::kFilterOrderSlopes[f.order];
      d.add(at + "order", Format("%d dB/oct", slope), std::to_string(slope));
    } else {
      d.add(at + "order", Format("%u (out of range)", f.order), std::to_string(f.order));
    }
    d.carried(at + "spare", Bytes(&f.spare, 1));
  }
}

void DescribeCompressors(const ParameterBlock& b, Describer& d) {
  for (int k = 0; k < settings::kCompressorCount; ++k) {
    const settings::CompressorRecord& c = b.compressors[k];
    const std::string at = Format("compressors[%d].", k);
    d.carried(at + "spare0", Bytes(&c.spare0, 1));
    d.choice(at + "attack", c.attack, settings::kAttackTexts);
    d.choice(at + "release", c.release, settings::kReleaseTexts);
    d.choice(at + "ratio", c.ratio, settings::kRatioTexts);
    d.add(at + "threshold", Format("%+d dB", c.threshold), std::to_string(c.threshold));
    d.carried(at + "spare6", Bytes(c.spare6, 2));
  }
}

void DescribeTail(const ParameterBlock& b, Describer& d) {
  for (int line = 0; line < settings::kDelayLineCount; ++line) {
    const double ms = b.outputDelay[line] / 1000.0;
    d.add(Format("outputDelay[%s]", settings::kDelayLineNames[line].data()), Format("%.2f ms", ms),
          Format("%.2f", ms));
  }
  for (const auto& [name, echo] : {std::pair{"echoA", &b.echoA}, std::pair{"echoB", &b.echoB}}) {
    const std::string at = std::string(name) + ".";
    d.number(at + "level", echo->level);
    d.carried(at + "spare1", Bytes(echo->spare1, 2));
    d.number(at + "repeat", echo->repeat);
    d.number(at + "delay", echo->delay);
    d.carried(at + "spare6", Bytes(echo->spare6, 4));
    d.number(at + "preDelay", echo->preDelay);
  }
  d.number("revTime", b.revTime);
  d.number("revDamp", b.revDamp);
  d.number("revWet", b.revWet);
  d.number("revLevel", b.revLevel);
  d.number("revWidth", b.revWidth);
  d.carried("reserved697", Bytes(&b.reserved697, 1));
  d.number("revPreDelay", b.revPreDelay);
  for (int line = 0; line < settings::kDelayLineCount; ++line)
    d.onOff(Format("outputMutes.%s", settings::kDelayLineNames[line].data()),
            !(b.outputMutes & (1 << line)));
  d.onOff("outputMutes.controlMic", !(b.outputMutes & 0x40));
  d.onOff("outputMutes.controlMusic", !(b.outputMutes & 0x80));
  d.number("echoDirect", b.echoDirect);
  d.carried("reserved702", Bytes(b.reserved702, 4));
  d.add("checksum", Format("0x%04X", b.checksum), Format("\"0x%04X\"", b.checksum));
}

}  // namespace

std::vector<FieldValue> DescribeBlock(const ParameterBlock& block) {
  std::vector<FieldValue> fields;
  Describer d(fields);
  DescribeMain(block, d);
  DescribeBands(block, d);
  DescribeFilters(block, d);
  DescribeCompressors(block, d);
  DescribeTail(block, d);
  return fields;
}

std::string FieldsToJson(const std::vector<FieldValue>& fields) {
  std::string out = "{";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    out += i == 0 ? "\n  " : ",\n  ";
    out += Quote(fields[i].name) + ": " + fields[i].json;
  }
  return out + "\n}\n";
}

}  // namespace kdsp::settings
