// SPDX-License-Identifier: GPL-3.0-or-later
// The table of the block's fields, built once in block order.
#include "settings/field_table.h"

#include <cstdio>
#include <vector>

#include "settings/page_catalogue.h"
#include "settings/value_texts.h"

namespace kdsp::settings {
namespace {

inline constexpr std::array<std::string_view, 2> kDirections = {"high-pass", "low-pass"};

constexpr std::string_view kKeptAsFound = "the processor keeps these bytes as it finds them";

std::string Indexed(const char* format, auto... args) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

// Entries are refused right after they are added: a reference into the table does not outlive
// the next addition.
class TableBuilder {
 public:
  explicit TableBuilder(std::vector<FieldEntry>& out) : out_(out) {}

  FieldEntry& add(std::string name, FieldShape shape, std::size_t offset, FieldKind kind,
                  IntRange range = {}) {
    FieldEntry& e = out_.emplace_back();
    e.name = std::move(name);
    e.shape = shape;
    e.offset = offset;
    e.kind = kind;
    e.range = range;
    return e;
  }
  FieldEntry& number(std::string name, std::size_t offset, FieldKind kind, IntRange range) {
    return add(std::move(name), FieldShape::kNumber, offset, kind, range);
  }
  template <std::size_t N>
  FieldEntry& choice(std::string name, std::size_t offset,
                     const std::array<std::string_view, N>& names, IntRange range,
                     FieldKind kind = FieldKind::kByte) {
    FieldEntry& e = add(std::move(name), FieldShape::kChoice, offset, kind, range);
    e.choices = names;
    return e;
  }
  FieldEntry& flag(std::string name, FieldShape shape, std::size_t offset, std::uint8_t mask,
                   bool setMeansOff = false) {
    FieldEntry& e = add(std::move(name), shape, offset, FieldKind::kByte, {0, 1});
    e.mask = mask;
    e.setMeansOff = setMeansOff;
    return e;
  }
  FieldEntry& carried(std::string name, std::size_t offset, FieldKind kind, std::uint8_t mask = 0) {
    FieldEntry& e = add(std::move(name), FieldShape::kCarried, offset, kind);
    e.mask = mask;
    return refuse(e, FieldAccess::kFixed, kKeptAsFound);
  }
  static FieldEntry& refuse(FieldEntry& e, FieldAccess access, std::string_view why) {
    e.access = access;
    e.why = why;
    return e;
  }

 private:
  std::vector<FieldEntry>& out_;
};

void AddMain(TableBuilder& t) {
  using P = ParameterBlock;
  TableBuilder::refuse(t.add("marker", FieldShape::kHexByte, offsetof(P, marker), FieldKind::kByte),
                       FieldAccess::kFixed, "it tells a parameter block from other data");
  t.choice("musicInput", offsetof(P, musicInput), kMusicInputNames, range::kMusicInput);
  t.add("feedbackLevel", FieldShape::kOffAtZero, offsetof(P, feedbackLevel), FieldKind::kByte,
        range::kFeedbackLevel);
  t.carried("reserved3", offsetof(P, reserved3), FieldKind::kByte);
  // The levels of the faders and knobs: the low 7 bits, as the windows read them.
  t.number("masterMusic", offsetof(P, masterMusic), FieldKind::kLow7, range::kMasterLevel);
  t.number("masterMic", offsetof(P, masterMic), FieldKind::kLow7, range::kMasterLevel);
  TableBuilder::refuse(
      t.flag("micFlags.setsLinked", FieldShape::kOnOff, offsets::kMicFlags, kMicSetsLinked),
      FieldAccess::kDerived, "it follows the Mic Equalizer's EQ mode");
  t.flag("micFlags.mic13Polarity", FieldShape::kPolarity, offsets::kMicFlags, kMicPolarity1);
  t.flag("micFlags.mic24Polarity", FieldShape::kPolarity, offsets::kMicFlags, kMicPolarity2);
  t.carried("micFlags.carriedBits", offsets::kMicFlags, FieldKind::kByte, 0xE3);
  t.number("masterEffect", offsetof(P, masterEffect), FieldKind::kLow7, range::kMasterEffect);
  t.add("subDecay", FieldShape::kOffAtZero, offsets::kSubDecay, FieldKind::kLow7, range::kSubDecay);
  t.carried("reserved9", offsetof(P, reserved9), FieldKind::kByte);
  for (int o = 0; o < kOutputCount; ++o)
    for (int s = 0; s < kSourceCount; ++s)
      t.add(Indexed("mix[%s][%s]", kOutputNames[o].data(), kSourceNames[s].data()),
            FieldShape::kMixCell, offsets::Mix(o, s), FieldKind::kByte, range::kMixLevel);
}

void AddBands(TableBuilder& t) {
  for (int i = 0; i < kBandCount; ++i) {
    const std::size_t at = offsets::Band(i);
    t.add(Indexed("bands[%d].gain", i), FieldShape::kGain, at + offsetof(EqBand, gain),
          FieldKind::kInt16, range::kEqGain);
    t.add(Indexed("bands[%d].frequency", i), FieldShape::kFrequency,
          at + offsetof(EqBand, frequency), FieldKind::kUint16, range::kFrequencyStep);
    t.add(Indexed("bands[%d].bandwidth", i), FieldShape::kBandwidth,
          at + offsetof(EqBand, bandwidth), FieldKind::kByte, range::kBandwidth);
    t.choice(Indexed("bands[%d].type", i), at + offsetof(EqBand, type), kBandTypeNames,
             range::kBandType);
    t.flag(Indexed("bands[%d].on", i), FieldShape::kOnOff, at + offsetof(EqBand, on), 0);
    t.carried(Indexed("bands[%d].spare", i), at + offsetof(EqBand, spare), FieldKind::kByte);
  }
}

void AddFilters(TableBuilder& t) {
  constexpr std::string_view kNoKnob = "this filter's page has no family or slope knob";
  for (int k = 0; k < kFilterCount; ++k) {
    const std::size_t at = offsets::Filter(k);
    // The output pages' filters have family and slope knobs; the others only a frequency fader.
    const bool shapeKnobs = k >= kFirstFilterWithShapeKnobs;
    t.add(Indexed("filters[%d].frequency", k), FieldShape::kFrequency,
          at + offsetof(CrossoverFilter, frequency), FieldKind::kUint16, range::kFrequencyStep)
        .directionOffset = at + offsetof(CrossoverFilter, direction);
    FieldEntry& family =
        t.choice(Indexed("filters[%d].family", k), at + offsetof(CrossoverFilter, family),
                 kFilterFamilyNames, range::kFilterFamily);
    if (!shapeKnobs) TableBuilder::refuse(family, FieldAccess::kNoControl, kNoKnob);
    TableBuilder::refuse(t.choice(Indexed("filters[%d].direction", k),
                                  at + offsetof(CrossoverFilter, direction), kDirections, {}),
                         FieldAccess::kFixed, "each filter's direction is its page's");
    FieldEntry& order =
        t.add(Indexed("filters[%d].order", k), FieldShape::kFilterOrder,
              at + offsetof(CrossoverFilter, order), FieldKind::kByte, range::kFilterOrder);
    if (!shapeKnobs) TableBuilder::refuse(order, FieldAccess::kNoControl, kNoKnob);
    t.carried(Indexed("filters[%d].spare", k), at + offsetof(CrossoverFilter, spare),
              FieldKind::kByte);
  }
}

void AddCompressors(TableBuilder& t) {
  for (int k = 0; k < kCompressorCount; ++k) {
    const std::size_t at = offsets::Compressor(k);
    t.carried(Indexed("compressors[%d].spare0", k), at + offsetof(CompressorRecord, spare0),
              FieldKind::kByte);
    // The pages' knobs read the low 7 bits of these three.
    t.choice(Indexed("compressors[%d].attack", k), at + offsetof(CompressorRecord, attack),
             kAttackTexts, range::kAttack, FieldKind::kLow7);
    t.choice(Indexed("compressors[%d].release", k), at + offsetof(CompressorRecord, release),
             kReleaseTexts, range::kRelease, FieldKind::kLow7);
    t.choice(Indexed("compressors[%d].ratio", k), at + offsetof(CompressorRecord, ratio),
             kRatioTexts, range::kRatio, FieldKind::kLow7);
    t.add(Indexed("compressors[%d].threshold", k), FieldShape::kThreshold,
          at + offsetof(CompressorRecord, threshold), FieldKind::kInt16, range::kThreshold);
    t.carried(Indexed("compressors[%d].spare6", k), at + offsetof(CompressorRecord, spare6),
              FieldKind::kUint16);
  }
}

void AddEcho(TableBuilder& t, const char* name, std::size_t at, bool second) {
  constexpr std::string_view kFirstSide = "the echo has one level and repeat, echoA's";
  const std::string prefix = std::string(name) + ".";
  FieldEntry& level = t.number(prefix + "level", at + offsetof(EchoRecord, level), FieldKind::kLow7,
                               range::kEffectLevel);
  if (second) TableBuilder::refuse(level, FieldAccess::kNoControl, kFirstSide);
  t.carried(prefix + "spare1", at + offsetof(EchoRecord, spare1), FieldKind::kUint16);
  FieldEntry& repeat = t.number(prefix + "repeat", at + offsetof(EchoRecord, repeat),
                                FieldKind::kLow7, range::kEffectLevel);
  if (second) TableBuilder::refuse(repeat, FieldAccess::kNoControl, kFirstSide);
  t.number(prefix + "delay", at + offsetof(EchoRecord, delay), FieldKind::kUint16,
           range::kEchoDelay);
  t.carried(prefix + "spare6", at + offsetof(EchoRecord, spare6), FieldKind::kUint32);
  t.number(prefix + "preDelay", at + offsetof(EchoRecord, preDelay), FieldKind::kUint16,
           range::kEchoPreDelay);
}

void AddTail(TableBuilder& t) {
  using P = ParameterBlock;
  for (int line = 0; line < kDelayLineCount; ++line)
    t.add(Indexed("outputDelay[%s]", kDelayLineNames[line].data()), FieldShape::kDelay,
          offsets::kOutputDelay + 4 * static_cast<std::size_t>(line), FieldKind::kUint32,
          {range::kOutputDelayKnob.min * range::kOutputDelayKnobToBlock,
           range::kOutputDelayKnob.max * range::kOutputDelayKnobToBlock});
  AddEcho(t, "echoA", offsets::kEchoA, false);
  AddEcho(t, "echoB", offsets::kEchoB, true);
  t.number("revTime", offsets::kRevTime, FieldKind::kLow7, range::kRevTime);
  t.number("revDamp", offsets::kRevDamp, FieldKind::kByte, range::kRevShape);
  t.number("revWet", offsets::kRevWet, FieldKind::kByte, range::kRevShape);
  t.number("revLevel", offsets::kRevLevel, FieldKind::kLow7, range::kRevLevel);
  t.number("revWidth", offsets::kRevWidth, FieldKind::kByte, range::kRevShape);
  t.carried("reserved697", offsetof(P, reserved697), FieldKind::kByte);
  t.number("revPreDelay", offsets::kRevPreDelay, FieldKind::kUint16, range::kRevPreDelay);
  for (int line = 0; line < kDelayLineCount; ++line)
    t.flag(Indexed("outputMutes.%s", kDelayLineNames[line].data()), FieldShape::kOnOff,
           offsets::kOutputMutes, static_cast<std::uint8_t>(1 << line), true);
  t.flag("outputMutes.controlMic", FieldShape::kOnOff, offsets::kOutputMutes, 0x40, true);
  t.flag("outputMutes.controlMusic", FieldShape::kOnOff, offsets::kOutputMutes, 0x80, true);
  t.number("echoDirect", offsets::kEchoDirect, FieldKind::kLow7, range::kEffectLevel);
  t.carried("reserved702", offsetof(P, reserved702), FieldKind::kUint32);
  TableBuilder::refuse(
      t.add("checksum", FieldShape::kChecksum, offsets::kChecksum, FieldKind::kUint16),
      FieldAccess::kFixed, "it is computed from the other bytes");
}

std::vector<FieldEntry> BuildTable() {
  std::vector<FieldEntry> table;
  TableBuilder t(table);
  AddMain(t);
  AddBands(t);
  AddFilters(t);
  AddCompressors(t);
  AddTail(t);
  return table;
}

}  // namespace

std::span<const FieldEntry> FieldTable() {
  static const std::vector<FieldEntry> table = BuildTable();
  return table;
}

const FieldEntry* FindField(std::string_view name) {
  for (const FieldEntry& field : FieldTable())
    if (field.name == name) return &field;
  return nullptr;
}

std::int64_t ReadStored(const FieldEntry& field, const ParameterBlock& block) {
  if (field.mask != 0) return block.bytes()[field.offset] & field.mask;
  return field.blockField().read(block);
}

void WriteStored(const FieldEntry& field, ParameterBlock& block, std::int64_t value) {
  if (field.mask != 0) {
    std::uint8_t& at = block.bytes()[field.offset];
    at = static_cast<std::uint8_t>((at & ~field.mask) | (value & field.mask));
    return;
  }
  field.blockField().write(block, value);
}

}  // namespace kdsp::settings
