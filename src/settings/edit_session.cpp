// SPDX-License-Identifier: GPL-3.0-or-later
// The two sides of the working settings, their histories and where they came from.
#include "settings/edit_session.h"

#include <algorithm>
#include <utility>

#include "core/composed_text.h"
#include "settings/step_names.h"

namespace kdsp::settings {

EditSession::EditSession(const EditState& start, const SettingsOrigin& origin) {
  for (Side& side : sides_) {
    side.state = start;
    side.origin = origin;
    side.cleanId = side.history.appliedId();
  }
}

bool EditSession::record(Side& side, const EditState& now, std::string name,
                         const std::optional<SettingsOrigin>& origin, bool cleanAfter) {
  const Provenance before = side.provenance();
  const std::uint64_t from = side.history.appliedId();
  if (!side.history.record(side.state, now, std::move(name))) return false;
  side.state = now;
  // The steps an edit drops (those undone, and the oldest beyond the budget) take their
  // provenance with them.
  const std::uint64_t oldest = side.history.oldestId();
  std::erase_if(side.provenanceSteps,
                [&](const ProvenanceStep& p) { return p.id > from || p.id < oldest; });
  if (origin) {
    const std::uint64_t id = side.history.appliedId();
    const Provenance after{*origin, cleanAfter ? std::optional(id) : std::nullopt};
    side.provenanceSteps.push_back({id, before, after});
    side.restore(after);
  }
  return true;
}

bool EditSession::recordEdit(const EditState& now, std::string name) {
  return record(current(), now, std::move(name), std::nullopt, false);
}

bool EditSession::recordReplacement(const EditState& now, std::string name,
                                    const SettingsOrigin& origin) {
  if (record(current(), now, std::move(name), origin, true)) return true;
  // The same settings again: nothing to undo, but they now come from there.
  markKept(origin);
  return false;
}

void EditSession::markKept(const SettingsOrigin& origin) {
  Side& side = current();
  const std::uint64_t id = side.history.appliedId();
  const Provenance kept{origin, id};
  // Redoing back to this moment shows it kept there; undoing from it restores what it was.
  if (side.history.undoCount() > 0) {
    const auto step = std::ranges::find(side.provenanceSteps, id, &ProvenanceStep::id);
    if (step != side.provenanceSteps.end())
      step->after = kept;
    else
      side.provenanceSteps.push_back({id, side.provenance(), kept});
  }
  side.restore(kept);
}

void EditSession::startFresh(const EditState& now, const SettingsOrigin& origin) {
  for (Side& side : sides_) {
    side.history.clear();
    side.provenanceSteps.clear();
    side.state = now;
    side.restore({origin, side.history.appliedId()});
  }
}

std::optional<AppliedStep> EditSession::undo() {
  Side& side = current();
  auto step = side.history.undo(side.state);
  if (step) side.restoreAround(step->id, &ProvenanceStep::before);
  return step;
}

std::optional<AppliedStep> EditSession::redo() {
  Side& side = current();
  auto step = side.history.redo(side.state);
  if (step) side.restoreAround(step->id, &ProvenanceStep::after);
  return step;
}

bool EditSession::copySide(int from, int to) {
  if (Index(from) == Index(to)) return false;
  const Side& source = sides_[Index(from)];
  const std::string name = core::FillIn(step::kCopySide, {SideName(from), SideName(to)});
  return record(sides_[Index(to)], source.state, name, source.origin, !isModified(source));
}

}  // namespace kdsp::settings
