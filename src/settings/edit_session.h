// SPDX-License-Identifier: GPL-3.0-or-later
// The working settings as the user edits them: two complete sides to compare (A and B), one live
// on the processor, each with its own undo history, where it came from and whether it was
// modified since. Plain state: the program tells the session what happened and applies what the
// session hands back.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "settings/edit_history.h"
#include "settings/edit_state.h"
#include "settings/settings_origin.h"

namespace kdsp::settings {

class EditSession {
 public:
  static constexpr int kSideA = 0;
  static constexpr int kSideB = 1;

  // Both sides start from the same settings and origin.
  EditSession(const EditState& start, const SettingsOrigin& origin);

  int liveSide() const { return live_; }
  // A side's settings as the session last saw them; the live side's are the ones the program
  // holds, once every edit has been recorded.
  const EditState& side(int s) const { return sides_[Index(s)].state; }
  const EditState& live() const { return side(live_); }

  // ---- What the program tells the session ----
  // The user changed the live settings to `now`: one undoable step. False when nothing changed.
  bool recordEdit(const EditState& now, std::string name);
  // The live settings were replaced (a file loaded, a slot recalled): one undoable step, after
  // which they come from `origin`, unmodified. Undoing it brings back the former origin too.
  bool recordReplacement(const EditState& now, std::string name, const SettingsOrigin& origin);
  // The live settings, as they are, were stored into a slot or saved to a file: they come from
  // there, unmodified, and so does this moment of the history when a redo comes back to it.
  void markKept(const SettingsOrigin& origin);
  // The live settings are now the processor's own: both sides start a fresh history from them,
  // unmodified, so switching to the other side changes nothing until it is edited.
  void startFresh(const EditState& now, const SettingsOrigin& origin);
  // The program changed the live settings by itself (a level brought down to a new maximum): no
  // step, and the next step starts from here.
  void adopt(const EditState& now) { sides_[Index(live_)].state = now; }

  // ---- What the user asks of it ----
  // Undoes (redoes) the live side's last step; the caller makes live() the program's settings.
  std::optional<AppliedStep> undo();
  std::optional<AppliedStep> redo();
  std::optional<std::string_view> undoName() const { return current().history.undoName(); }
  std::optional<std::string_view> redoName() const { return current().history.redoName(); }
  const EditHistory& history() const { return current().history; }
  // Makes the other side live; the caller makes live() the program's settings.
  void switchSide() { live_ = 1 - live_; }
  // Copies one side over the other, origin and modified state included: a step of the side
  // copied over ("Copy A to B"). False when the two were already the same.
  bool copySide(int from, int to);

  // ---- What the main window shows ----
  const SettingsOrigin& origin() const { return current().origin; }
  bool modified() const { return isModified(current()); }

  static std::string_view SideName(int s) { return s == kSideA ? "A" : "B"; }

 private:
  // Where a side's settings came from, and which of its moments (EditHistory::appliedId) showed
  // them as they came; none when no moment of the history did.
  struct Provenance {
    SettingsOrigin origin;
    std::optional<std::uint64_t> cleanId;
  };
  // A step that changed the provenance: what undoing and redoing it restore.
  struct ProvenanceStep {
    std::uint64_t id;
    Provenance before;
    Provenance after;
  };
  struct Side {
    EditState state;
    EditHistory history;
    SettingsOrigin origin;
    std::optional<std::uint64_t> cleanId;
    std::deque<ProvenanceStep> provenanceSteps;

    Provenance provenance() const { return {origin, cleanId}; }
    void restore(const Provenance& p) {
      origin = p.origin;
      cleanId = p.cleanId;
    }
    // After an undo (which) or a redo (after) of a step: what that step made of the provenance.
    void restoreAround(std::uint64_t id, Provenance ProvenanceStep::*which) {
      for (const ProvenanceStep& p : provenanceSteps)
        if (p.id == id) restore(p.*which);
    }
  };

  static std::size_t Index(int s) { return s == kSideB ? 1 : 0; }
  static bool isModified(const Side& side) { return side.cleanId != side.history.appliedId(); }
  const Side& current() const { return sides_[Index(live_)]; }
  Side& current() { return sides_[Index(live_)]; }
  // Records a step into a side, keeping its provenance steps in line with its history. With an
  // origin, the step also makes the settings come from there: unmodified when cleanAfter.
  static bool record(Side& side, const EditState& now, std::string name,
                     const std::optional<SettingsOrigin>& origin, bool cleanAfter);

  std::array<Side, 2> sides_;
  int live_ = kSideA;
};

}  // namespace kdsp::settings
