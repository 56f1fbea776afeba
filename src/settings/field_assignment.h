// SPDX-License-Identifier: GPL-3.0-or-later
// Giving the block's fields values in the units `kdspctl dump` prints them: as text typed on the
// command line ("-3.0", "800", "off", "40 muted", "Bessel") or as the JSON value `dump --json`
// prints ({"level":40,"muted":false}, {"step":200}). A field that is unknown, cannot be written
// or is given a value it cannot take is refused with a message naming it, and the block is left
// as it was. The limits the processor sets beyond the field's own range (the maximum volumes,
// the mic EQ mode) are the device layer's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/field_table.h"
#include "settings/json_value.h"
#include "settings/parameter_block.h"

namespace kdsp::settings {

// What values a writable field takes, in the units dump prints, for a page to offer them.
struct FieldRange {
  enum class Kind {
    kNumber,     // min..max by step, in unit
    kChoice,     // one of choices
    kOnOff,      // one of choices: the off word, then the on word
    kFrequency,  // a frequency min..max Hz, taken onto the nearest of the grid's steps
    kMixCell,    // a level min..max and a mute
  };
  Kind kind = Kind::kNumber;
  double min = 0.0;
  double max = 0.0;
  double step = 1.0;
  std::string unit;
  std::vector<std::string> choices;
};

// The range of a writable field; nothing for an unknown field or one that cannot be written.
std::optional<FieldRange> RangeOfField(std::string_view name);

struct FieldAssignment {
  std::string field;
  std::string value;
};

// "FIELD=VALUE", split at the first '='; nothing without one or without a name.
std::optional<FieldAssignment> ParseAssignment(std::string_view text);

// Empty when the value was taken; else the message, which names the field.
struct AssignResult {
  std::string error;
  bool ok() const { return error.empty(); }
};

AssignResult AssignText(ParameterBlock& block, std::string_view field, std::string_view text);
AssignResult AssignJson(ParameterBlock& block, std::string_view field, const JsonValue& value);

// The entry of a field that may be written, or the message why not (unknown, fixed, derived).
const FieldEntry* WritableField(std::string_view field, std::string& whyNot);

}  // namespace kdsp::settings
