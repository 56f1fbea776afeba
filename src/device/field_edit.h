// SPDX-License-Identifier: GPL-3.0-or-later
// Edits of named fields (`masterMusic=40`, `bands[28].gain=-3.0`) as the program's own controls
// would make them, and the records that take the processor there. The field's own range is the
// field table's; beyond it the processor and the program hold more: the master levels stay
// under the maximum volumes, the echo's second side follows its first by the left/right
// offsets, the Mic Equalizer's mode decides which of its two band sets a record can carry, and
// a shelf keeps its frequency limit when its type changes. The command line and the program's
// remote both come through here, so an edit from either equals the same edit on a page.
#pragma once

#include <span>
#include <string>
#include <variant>
#include <vector>

#include "device/command_table.h"
#include "device/link_state.h"
#include "settings/edit_state.h"
#include "settings/json_value.h"
#include "settings/parameter_block.h"

namespace kdsp::device {

// What the processor holds beside the block that bounds an edit, as its status reports it.
struct EditLimits {
  int musicMaxVolume = 60;
  int micMaxVolume = 60;
  int micEqMode = 0;  // the mode the processor last reported (0..2)
};

EditLimits LimitsOf(const LinkState& link);

// One field given a value: text in dump's units, or a JSON value as dump --json prints it.
struct FieldChange {
  std::string field;
  std::variant<std::string, settings::JsonValue> value;
};

struct FieldEditResult {
  settings::EditState before;
  settings::EditState after;
  // One message per refused change, each naming its field; when there are any, `after` is
  // `before` and nothing should be sent.
  std::vector<std::string> errors;
  bool ok() const { return errors.empty(); }
};

// The values the pages' controls show for a block: the echo's left/right offsets as its faders
// hold them, its direct volume, and the Mic Equalizer's mode.
settings::ControlValues ControlValuesOf(const settings::ParameterBlock& block,
                                        const EditLimits& limits);

// Applies the changes in order to a copy of the block, each as the program's control for it
// would; all or nothing.
FieldEditResult ApplyFieldEdits(const settings::ParameterBlock& current,
                                std::span<const FieldChange> changes, const EditLimits& limits);

// The command table's records that bring the processor from one set of working settings to
// the other: one per changed command, in the table's order, as the synchronisation tick would
// send them. The link gives what lies outside the settings (the maximum volumes).
std::vector<OutgoingCommand> RecordsForDifference(const settings::EditState& from,
                                                  const settings::EditState& to,
                                                  const LinkState& link);

}  // namespace kdsp::device
