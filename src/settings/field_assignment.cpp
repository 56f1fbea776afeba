// SPDX-License-Identifier: GPL-3.0-or-later
// Parsing field values in dump's units onto the block.
#include "settings/field_assignment.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "settings/frequency_grid.h"
#include "settings/text_pieces.h"

namespace kdsp::settings {
namespace {

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The text without the unit dump prints after it, if it ends so.
std::string_view WithoutUnit(std::string_view text, std::string_view unit) {
  text = TrimBlanks(text);
  if (!unit.empty() && text.size() > unit.size() &&
      SameWord(text.substr(text.size() - unit.size()), unit))
    text = TrimBlanks(text.substr(0, text.size() - unit.size()));
  return text;
}

std::optional<double> Decimal(std::string_view text) {
  text = TrimBlanks(text);
  if (text.starts_with('+')) text.remove_prefix(1);
  if (text.empty() || text.front() == '+' || text.front() == ' ') return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<std::int64_t> Whole(std::string_view text) {
  const auto value = Decimal(text);
  if (!value || std::trunc(*value) != *value || std::fabs(*value) > 1e9) return std::nullopt;
  return static_cast<std::int64_t>(*value);
}

// A value given in a unit of `per` stored units, taken exactly to the stored unit.
std::optional<std::int64_t> Scaled(std::string_view text, double per) {
  const auto value = Decimal(text);
  if (!value || std::fabs(*value) > 1e9) return std::nullopt;
  const double stored = *value * per;
  const double whole = std::round(stored);
  // "-3.05" dB is no tenth: refused rather than rounded to a value the user did not give.
  if (std::fabs(stored - whole) > 1e-6 * std::max(1.0, std::fabs(stored))) return std::nullopt;
  return static_cast<std::int64_t>(whole);
}

std::string ChoiceList(const FieldEntry& f, IntRange range) {
  std::string out;
  for (int i = range.min; i <= range.max && i < static_cast<int>(f.choices.size()); ++i) {
    if (!out.empty()) out += i == range.max ? " or " : ", ";
    out += TrimBlanks(f.choices[static_cast<std::size_t>(i)]);
  }
  return out;
}

double StepHz(int step) {
  return gridFrequency(step);
}

// What the field takes, in the words of a message.
std::string RangeText(const FieldEntry& f) {
  const IntRange r = f.range;
  switch (f.shape) {
    case FieldShape::kChoice:
      return "one of " + ChoiceList(f, r);
    case FieldShape::kOnOff:
      return "on or off";
    case FieldShape::kPolarity:
      return "normal or inverted";
    case FieldShape::kMixCell:
      return Format("a level %d..%d, muted or not (\"40\", \"40 muted\")", r.min, r.max);
    case FieldShape::kGain:
      return Format("%+.1f..%+.1f dB", r.min / 10.0, r.max / 10.0);
    case FieldShape::kFrequency:
      return Format("%.2f..%.0f Hz%s", StepHz(r.min), StepHz(r.max),
                    f.directionOffset != kNoOffset ? " or OFF" : "");
    case FieldShape::kBandwidth:
      return Format("%.2f..%.2f oct in steps of 0.05", (r.min + 1) * 0.05, (r.max + 1) * 0.05);
    case FieldShape::kFilterOrder: {
      std::string out;
      for (int i = r.min; i <= r.max; ++i)
        out += (out.empty()  ? ""
                : i == r.max ? " or "
                             : ", ") +
               std::to_string(kFilterOrderSlopes[static_cast<std::size_t>(i)]);
      return out + " dB/oct";
    }
    case FieldShape::kThreshold:
      return Format("%+d..%+d dB", r.min, r.max);
    case FieldShape::kDelay:
      return Format("%.2f..%.2f ms in steps of 0.01", r.min / 1000.0, r.max / 1000.0);
    case FieldShape::kOffAtZero:
      return Format("OFF or 1..%d", r.max);
    default:
      return Format("%d..%d", r.min, r.max);
  }
}

AssignResult Refused(const FieldEntry& f, std::string_view given) {
  return {f.name + ": '" + std::string(given) + "' is not " + RangeText(f)};
}

// The grid step nearest a frequency, if it lies on the grid's span.
std::optional<std::int64_t> NearestStep(double hz) {
  // Half a step beyond either end still rounds onto it.
  constexpr double kHalfStep = 1.0096735332285108;  // 2^(1/72)
  if (!(hz >= StepHz(0) / kHalfStep && hz <= StepHz(kLastStep) * kHalfStep)) return std::nullopt;
  int best = 0;
  double bestDistance = INFINITY;
  for (int step = 0; step <= kLastStep; ++step) {
    const double distance = std::fabs(std::log(StepHz(step) / hz));
    if (distance < bestDistance) {
      best = step;
      bestDistance = distance;
    }
  }
  return best;
}

std::optional<std::int64_t> FrequencyStep(const FieldEntry& f, const ParameterBlock& block,
                                          std::string_view text) {
  text = TrimBlanks(text);
  // As dump prints it: "125.00 Hz [ 125] (step 95)", "OFF (step 0)".
  if (const std::size_t step = text.rfind("(step ");
      step != std::string_view::npos && text.ends_with(')'))
    return Whole(text.substr(step + 6, text.size() - step - 7));
  if (SameWord(text, "off")) {
    if (f.directionOffset == kNoOffset) return std::nullopt;
    return block.bytes()[f.directionOffset] == kLowPass ? kLastStep : 0;
  }
  if (text.size() > 5 && SameWord(text.substr(0, 5), "step ")) return Whole(text.substr(5));
  text = WithoutUnit(text, "Hz");
  double scale = 1.0;
  if (!text.empty() && (text.back() == 'k' || text.back() == 'K')) {
    scale = 1000.0;
    text.remove_suffix(1);
  }
  const auto hz = Decimal(text);
  if (!hz) return std::nullopt;
  return NearestStep(*hz * scale);
}

std::optional<std::int64_t> MixCell(const ParameterBlock& block, const FieldEntry& f,
                                    std::string_view text) {
  const std::uint8_t now = block.bytes()[f.offset];
  text = TrimBlanks(text);
  if (SameWord(text, "muted")) return now | kMixMuted;
  if (SameWord(text, "unmuted")) return now & ~kMixMuted;
  bool muted = false;
  if (text.size() > 6 && SameWord(text.substr(text.size() - 6), " muted")) {
    muted = true;
    text.remove_suffix(6);
  }
  const auto level = Whole(text);
  if (!level || !f.range.contains(*level)) return std::nullopt;
  return *level | (muted ? kMixMuted : 0);
}

std::optional<std::int64_t> Choice(const FieldEntry& f, std::string_view text) {
  text = TrimBlanks(text);
  for (std::size_t i = 0; i < f.choices.size(); ++i)
    if (SameWord(text, TrimBlanks(f.choices[i]))) return static_cast<std::int64_t>(i);
  return std::nullopt;
}

std::optional<bool> Word(std::string_view text, std::string_view no, std::string_view yes) {
  text = TrimBlanks(text);
  if (SameWord(text, yes)) return true;
  if (SameWord(text, no)) return false;
  return std::nullopt;
}

// The stored value a text gives the field; nothing when the text means no value of it.
std::optional<std::int64_t> StoredOf(const FieldEntry& f, const ParameterBlock& block,
                                     std::string_view text) {
  switch (f.shape) {
    case FieldShape::kNumber:
      return Whole(text);
    case FieldShape::kOffAtZero:
      return SameWord(TrimBlanks(text), "off") ? std::optional<std::int64_t>(0) : Whole(text);
    case FieldShape::kChoice:
      return Choice(f, text);
    case FieldShape::kOnOff: {
      const auto on = Word(text, "off", "on");
      if (!on) return std::nullopt;
      if (f.mask == 0) return *on ? 1 : 0;
      return *on != f.setMeansOff ? f.mask : 0;
    }
    case FieldShape::kPolarity: {
      const auto inverted = Word(text, "normal", "inverted");
      if (!inverted) return std::nullopt;
      return *inverted ? f.mask : 0;
    }
    case FieldShape::kMixCell:
      return MixCell(block, f, text);
    case FieldShape::kGain:
      return Scaled(WithoutUnit(text, "dB"), 10.0);
    case FieldShape::kFrequency:
      return FrequencyStep(f, block, text);
    case FieldShape::kBandwidth: {
      const auto twentieths = Scaled(WithoutUnit(text, "oct"), 20.0);
      if (!twentieths) return std::nullopt;
      return *twentieths - 1;
    }
    case FieldShape::kFilterOrder: {
      const auto slope = Whole(WithoutUnit(text, "dB/oct"));
      for (std::size_t i = 0; slope && i < kFilterOrderSlopes.size(); ++i)
        if (kFilterOrderSlopes[i] == *slope) return static_cast<std::int64_t>(i);
      return std::nullopt;
    }
    case FieldShape::kThreshold:
      return Whole(WithoutUnit(text, "dB"));
    case FieldShape::kDelay:
      // The knobs count hundredths of a millisecond.
      if (const auto hundredths = Scaled(WithoutUnit(text, "ms"), 100.0))
        return *hundredths * range::kOutputDelayKnobToBlock;
      return std::nullopt;
    case FieldShape::kHexByte:
    case FieldShape::kChecksum:
    case FieldShape::kCarried:
      break;
  }
  return std::nullopt;
}

bool InRange(const FieldEntry& f, std::int64_t stored) {
  switch (f.shape) {
    case FieldShape::kOnOff:
    case FieldShape::kPolarity:
    case FieldShape::kMixCell:  // checked as it was read
      return true;
    default:
      return f.range.contains(stored);
  }
}

AssignResult Store(ParameterBlock& block, const FieldEntry& f, std::optional<std::int64_t> stored,
                   std::string_view given) {
  if (!stored || !InRange(f, *stored)) return Refused(f, given);
  WriteStored(f, block, *stored);
  return {};
}

// A JSON scalar as the text that means the same.
std::optional<std::string> ScalarText(const FieldEntry& f, const JsonValue& value) {
  switch (value.kind) {
    case JsonValue::Kind::kString:
      return value.text;
    case JsonValue::Kind::kNumber:
      if (f.shape == FieldShape::kChoice) {
        // A choice may be given by its index as well as by its name.
        if (std::trunc(value.number) != value.number || value.number < 0 ||
            value.number >= static_cast<double>(f.choices.size()))
          return std::nullopt;
        return std::string(f.choices[static_cast<std::size_t>(value.number)]);
      }
      return Format("%.10g", value.number);
    case JsonValue::Kind::kBool:
      if (f.shape == FieldShape::kOnOff) return value.boolean ? "on" : "off";
      if (f.shape == FieldShape::kPolarity) return value.boolean ? "inverted" : "normal";
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<std::int64_t> MixCellJson(const FieldEntry& f, const ParameterBlock& block,
                                        const JsonValue& value) {
  std::int64_t cell = block.bytes()[f.offset];
  // A bare number is the level; the mute stays.
  const JsonValue* level = value.kind == JsonValue::Kind::kNumber ? &value : value.member("level");
  const JsonValue* muted = value.kind == JsonValue::Kind::kObject ? value.member("muted") : nullptr;
  if (value.kind == JsonValue::Kind::kObject) {
    for (const auto& [name, member] : value.members)
      if (name != "level" && name != "muted") return std::nullopt;
    if (level == nullptr && muted == nullptr) return std::nullopt;
  }
  if (level != nullptr) {
    // Compared as a double: a level beyond any integer (1e300, infinity) has no conversion.
    if (level->kind != JsonValue::Kind::kNumber || std::trunc(level->number) != level->number ||
        level->number < f.range.min || level->number > f.range.max)
      return std::nullopt;
    cell = (cell & kMixMuted) | static_cast<std::int64_t>(level->number);
  }
  if (muted != nullptr) {
    if (muted->kind != JsonValue::Kind::kBool) return std::nullopt;
    cell = muted->boolean ? cell | kMixMuted : cell & ~std::int64_t{kMixMuted};
  }
  return cell;
}

std::optional<std::int64_t> FrequencyJson(const FieldEntry& f, const ParameterBlock& block,
                                          const JsonValue& value) {
  if (const JsonValue* off = value.member("off");
      off != nullptr && off->kind == JsonValue::Kind::kBool && off->boolean)
    return FrequencyStep(f, block, "OFF");
  if (const JsonValue* step = value.member("step"); step != nullptr) {
    if (step->kind != JsonValue::Kind::kNumber || std::trunc(step->number) != step->number ||
        std::fabs(step->number) > 1e6)
      return std::nullopt;
    return static_cast<std::int64_t>(step->number);
  }
  if (const JsonValue* hz = value.member("hz");
      hz != nullptr && hz->kind == JsonValue::Kind::kNumber)
    return NearestStep(hz->number);
  return std::nullopt;
}

std::string JsonText(const JsonValue& value) {
  switch (value.kind) {
    case JsonValue::Kind::kNull:
      return "null";
    case JsonValue::Kind::kBool:
      return value.boolean ? "true" : "false";
    case JsonValue::Kind::kNumber:
      return Format("%.10g", value.number);
    case JsonValue::Kind::kString:
      return value.text;
    case JsonValue::Kind::kObject: {
      std::string out = "{";
      for (const auto& [name, member] : value.members)
        out.append(out.size() > 1 ? ",\"" : "\"")
            .append(name)
            .append("\":")
            .append(JsonText(member));
      return out + "}";
    }
  }
  return {};
}

FieldRange RangeOf(const FieldEntry& f) {
  const IntRange r = f.range;
  FieldRange out;
  auto number = [&](double min, double max, double step, std::string unit) {
    out.kind = FieldRange::Kind::kNumber;
    out.min = min;
    out.max = max;
    out.step = step;
    out.unit = std::move(unit);
  };
  switch (f.shape) {
    case FieldShape::kChoice:
      out.kind = FieldRange::Kind::kChoice;
      for (int i = r.min; i <= r.max; ++i)
        out.choices.emplace_back(TrimBlanks(f.choices[static_cast<std::size_t>(i)]));
      break;
    case FieldShape::kOnOff:
      out.kind = FieldRange::Kind::kOnOff;
      out.choices = {"off", "on"};
      break;
    case FieldShape::kPolarity:
      out.kind = FieldRange::Kind::kOnOff;
      out.choices = {"normal", "inverted"};
      break;
    case FieldShape::kMixCell:
      number(r.min, r.max, 1, "");
      out.kind = FieldRange::Kind::kMixCell;
      break;
    case FieldShape::kGain:
      number(r.min / 10.0, r.max / 10.0, 0.1, "dB");
      break;
    case FieldShape::kFrequency:
      number(StepHz(r.min), StepHz(r.max), 0, "Hz");
      out.kind = FieldRange::Kind::kFrequency;
      break;
    case FieldShape::kBandwidth:
      number((r.min + 1) * 0.05, (r.max + 1) * 0.05, 0.05, "oct");
      break;
    case FieldShape::kFilterOrder:
      out.kind = FieldRange::Kind::kChoice;
      for (int i = r.min; i <= r.max; ++i)
        out.choices.push_back(std::to_string(kFilterOrderSlopes[static_cast<std::size_t>(i)]));
      out.unit = "dB/oct";
      break;
    case FieldShape::kThreshold:
      number(r.min, r.max, 1, "dB");
      break;
    case FieldShape::kDelay:
      number(r.min / 1000.0, r.max / 1000.0, 0.01, "ms");
      break;
    default:
      number(r.min, r.max, 1, "");
      break;
  }
  return out;
}

}  // namespace

const FieldEntry* WritableField(std::string_view field, std::string& whyNot) {
  const FieldEntry* f = FindField(field);
  if (f == nullptr) {
    whyNot = "unknown field '" + std::string(field) + "' (kdspctl dump lists the fields)";
    return nullptr;
  }
  if (f->access != FieldAccess::kWritable) {
    whyNot = f->name + " cannot be set: " + std::string(f->why);
    return nullptr;
  }
  return f;
}

std::optional<FieldRange> RangeOfField(std::string_view name) {
  std::string whyNot;
  const FieldEntry* f = WritableField(name, whyNot);
  if (f == nullptr) return std::nullopt;
  return RangeOf(*f);
}

std::optional<FieldAssignment> ParseAssignment(std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view name = TrimBlanks(text.substr(0, equals));
  if (name.empty()) return std::nullopt;
  return FieldAssignment{std::string(name), std::string(TrimBlanks(text.substr(equals + 1)))};
}

AssignResult AssignText(ParameterBlock& block, std::string_view field, std::string_view text) {
  std::string whyNot;
  const FieldEntry* f = WritableField(field, whyNot);
  if (f == nullptr) return {whyNot};
  return Store(block, *f, StoredOf(*f, block, text), text);
}

AssignResult AssignJson(ParameterBlock& block, std::string_view field, const JsonValue& value) {
  std::string whyNot;
  const FieldEntry* f = WritableField(field, whyNot);
  if (f == nullptr) return {whyNot};
  const std::string given = JsonText(value);
  if (f->shape == FieldShape::kMixCell && value.kind != JsonValue::Kind::kString)
    return Store(block, *f, MixCellJson(*f, block, value), given);
  if (f->shape == FieldShape::kFrequency && value.kind == JsonValue::Kind::kObject)
    return Store(block, *f, FrequencyJson(*f, block, value), given);
  const auto text = ScalarText(*f, value);
  if (!text) return Refused(*f, given);
  return Store(block, *f, StoredOf(*f, block, *text), given);
}

}  // namespace kdsp::settings
