// SPDX-License-Identifier: GPL-3.0-or-later
// Named-field edits under the processor's and the pages' rules, and the records they need.
#include "device/field_edit.h"

#include <algorithm>
#include <optional>

#include "device/difference_flags.h"
#include "device/page_rules.h"
#include "settings/field_assignment.h"
#include "settings/field_table.h"
#include "settings/page_catalogue.h"

namespace kdsp::device {
namespace {

using settings::FieldEntry;
using settings::ParameterBlock;
namespace offsets = settings::offsets;
namespace range = settings::range;

constexpr std::size_t kEchoDelayA = offsets::kEchoA + offsetof(settings::EchoRecord, delay);
constexpr std::size_t kEchoPreDelayA = offsets::kEchoA + offsetof(settings::EchoRecord, preDelay);
constexpr std::size_t kEchoDelayB = offsets::kEchoB + offsetof(settings::EchoRecord, delay);
constexpr std::size_t kEchoPreDelayB = offsets::kEchoB + offsetof(settings::EchoRecord, preDelay);

// The offsets as the Echo page's faders hold them: within the faders' range.
EchoOffsets FaderOffsets(const ParameterBlock& block) {
  const EchoOffsets raw = EchoOffsetsOf(block);
  return {std::clamp(raw.delayLr, range::kEchoOffset.min, range::kEchoOffset.max),
          std::clamp(raw.preDelayLr, range::kEchoOffset.min, range::kEchoOffset.max)};
}

// The band a field of a band record belongs to, or -1.
int BandOf(const FieldEntry& f) {
  if (f.offset < offsets::kBands || f.offset >= offsets::Band(settings::kBandCount)) return -1;
  return static_cast<int>((f.offset - offsets::kBands) / sizeof(settings::EqBand));
}

// A Mic Equalizer band the processor's mode leaves without a record: the strips edit one set
// at a time, and the band record of the other cannot be sent.
std::optional<std::string> UnsendableMicBand(const FieldEntry& f, int mode) {
  const int band = BandOf(f);
  const settings::PageParameters& mic = settings::Page(settings::PageId::kMicEqualizer);
  const bool first = band >= mic.firstBand && band < mic.firstBand + mic.bandCount;
  const bool second =
      band >= mic.secondSetFirstBand && band < mic.secondSetFirstBand + mic.bandCount;
  if (!first && !second) return std::nullopt;
  const int editedFirst = MicBandSetFirst(mode);
  if (editedFirst == (first ? mic.firstBand : mic.secondSetFirstBand)) return std::nullopt;
  return f.name + " cannot be set: the Mic Equalizer is in EQ mode " + std::to_string(mode) +
         ", which takes bands " + std::to_string(editedFirst) + ".." +
         std::to_string(editedFirst + mic.bandCount - 1);
}

// What the program does besides storing the value, or why it would not take it.
std::optional<std::string> FollowProgramRules(const FieldEntry& f, const ParameterBlock& before,
                                              ParameterBlock& after, const EditLimits& limits) {
  const std::int64_t value = settings::ReadStored(f, after) & 0x7F;
  if (f.offset == offsetof(ParameterBlock, masterMusic) && value > limits.musicMaxVolume)
    return f.name + ": " + std::to_string(value) + " is above the music maximum volume, " +
           std::to_string(limits.musicMaxVolume);
  if (f.offset == offsetof(ParameterBlock, masterMic) && value > limits.micMaxVolume)
    return f.name + ": " + std::to_string(value) + " is above the mic maximum volume, " +
           std::to_string(limits.micMaxVolume);
  if (f.offset == kEchoDelayA || f.offset == kEchoPreDelayA) {
    // The first side moves; the second follows it by the offsets the page holds.
    DeriveEchoSecondSide(after, FaderOffsets(before));
    return std::nullopt;
  }
  if (f.offset == kEchoDelayB || f.offset == kEchoPreDelayB) {
    // The second side is told to the processor as an offset from the first.
    const EchoOffsets raw = EchoOffsetsOf(after);
    const int offset = f.offset == kEchoDelayB ? raw.delayLr : raw.preDelayLr;
    if (!range::kEchoOffset.contains(offset))
      return f.name + ": " + std::to_string(settings::ReadStored(f, after)) + " would put the " +
             (f.offset == kEchoDelayB ? "Delay L-R" : "Pre Delay L-R") + " offset at " +
             std::to_string(offset) + ", outside " + std::to_string(range::kEchoOffset.min) + ".." +
             std::to_string(range::kEchoOffset.max);
    return std::nullopt;
  }
  if (const int band = BandOf(f);
      band >= 0 && f.offset == offsets::Band(band) + offsetof(settings::EqBand, type)) {
    // As the strip's type buttons: a shelf keeps its frequency limit.
    settings::EqBand& b = after.bands[band];
    if (b.type == settings::kLowShelf && b.frequency > range::kLowShelfTopStep)
      b.frequency = range::kLowShelfTopStep;
    if (b.type == settings::kHighShelf && b.frequency < range::kHighShelfBottomStep)
      b.frequency = range::kHighShelfBottomStep;
  }
  return std::nullopt;
}

settings::AssignResult Assign(ParameterBlock& block, const FieldChange& change) {
  if (const auto* text = std::get_if<std::string>(&change.value))
    return settings::AssignText(block, change.field, *text);
  return settings::AssignJson(block, change.field, std::get<settings::JsonValue>(change.value));
}

}  // namespace

EditLimits LimitsOf(const LinkState& link) {
  return {link.musicMaxVolume, link.micMaxVolume, link.micEqChannel};
}

settings::ControlValues ControlValuesOf(const ParameterBlock& block, const EditLimits& limits) {
  const EchoOffsets offsets = FaderOffsets(block);
  settings::ControlValues values;
  values.echoDelayLr = offsets.delayLr;
  values.echoPreDelayLr = offsets.preDelayLr;
  values.echoDirect =
      std::clamp(block.echoDirect & 0x7F, range::kEffectLevel.min, range::kEffectLevel.max);
  values.micEqMode = MicEqModeOf(block, limits.micEqMode);
  return values;
}

FieldEditResult ApplyFieldEdits(const ParameterBlock& current, std::span<const FieldChange> changes,
                                const EditLimits& limits) {
  FieldEditResult result;
  result.before = {current, ControlValuesOf(current, limits)};
  const int mode = result.before.values.micEqMode;
  ParameterBlock block = current;
  for (const FieldChange& change : changes) {
    std::string whyNot;
    const FieldEntry* f = settings::WritableField(change.field, whyNot);
    if (f == nullptr) {
      result.errors.push_back(whyNot);
      continue;
    }
    if (auto refused = UnsendableMicBand(*f, mode)) {
      result.errors.push_back(*refused);
      continue;
    }
    ParameterBlock next = block;
    if (const settings::AssignResult assigned = Assign(next, change); !assigned.ok()) {
      result.errors.push_back(assigned.error);
      continue;
    }
    if (auto refused = FollowProgramRules(*f, block, next, limits)) {
      result.errors.push_back(*refused);
      continue;
    }
    block = next;
  }
  result.after =
      result.ok() ? settings::EditState{block, ControlValuesOf(block, limits)} : result.before;
  return result;
}

std::vector<OutgoingCommand> RecordsForDifference(const settings::EditState& from,
                                                  const settings::EditState& to,
                                                  const LinkState& link) {
  ChangeFlags flags;
  RaiseFlagsForDifference(flags, from, to, link);
  LinkState tick = link;
  tick.micEqChannel = static_cast<std::uint8_t>(to.values.micEqMode);
  std::vector<OutgoingCommand> records;
  while (auto next = TakeNextChange(flags, to.block, tick, to.values)) records.push_back(*next);
  return records;
}

}  // namespace kdsp::device
