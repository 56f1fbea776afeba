// SPDX-License-Identifier: GPL-3.0-or-later
// The flags that bring the processor from one set of working settings to another (an undo, a
// redo, an A/B switch): the synchronisation tick then sends one record per command that changed.
#pragma once

#include "device/change_flags.h"
#include "device/link_state.h"
#include "settings/edit_state.h"

namespace kdsp::device {

// Raises the flag of every command whose record differs between the two states, read from the
// command table: a family member's own flag (for a mix pair, the fader or mute button whose part
// of its byte changed), a group's or a single row's first flag. A record that an earlier row
// already carries is not raised twice (the reverb dialog's values go with the page's rows, a
// mix pair with its first changed control). The mic band rows are read in `to`'s mode, which the
// link must take before the tick sends; a band of the set that mode does not edit is carried
// by no record. The maximum volumes and the pink-noise mask are not part of the settings and
// come from `link` unchanged.
// Answers whether most of the block changed: a caller may rather send the whole block and lower
// the flags again.
bool RaiseFlagsForDifference(ChangeFlags& flags, const settings::EditState& from,
                             const settings::EditState& to, const LinkState& link);

// Lowers every flag whose record carries nothing but bytes of the block: what is left is what a
// whole-block upload does not tell the processor (the values that travel from the controls).
void LowerFlagsTheBlockCarries(ChangeFlags& flags);

}  // namespace kdsp::device
