// SPDX-License-Identifier: GPL-3.0-or-later
// The undo and redo history of the working settings: each step keeps only the runs of bytes an
// edit changed, so hundreds of fader moves cost a few kilobytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/edit_state.h"

namespace kdsp::settings {

// What an undo or a redo did.
struct AppliedStep {
  std::string name;
  // More than half of the block changed: the caller may send the whole block rather than a
  // record per changed parameter.
  bool mostOfBlock = false;
  // The step's own number (see EditHistory::appliedId).
  std::uint64_t id = 0;
};

class EditHistory {
 public:
  // However large the steps, this many are kept; beyond it the oldest go once the steps take
  // more than the byte budget.
  static constexpr std::size_t kMinimumSteps = 500;
  static constexpr std::size_t kByteBudget = std::size_t{1} << 20;

  explicit EditHistory(std::size_t byteBudget = kByteBudget,
                       std::size_t minimumSteps = kMinimumSteps);

  // Keeps the edit from before to after as one step and drops the steps that were undone; an
  // edit that changed nothing is not kept. Answers whether a step was kept.
  bool record(const EditState& before, const EditState& after, std::string name);
  // Takes the state back over the last step (forward over the last undone one), in place; the
  // state is expected to be where the history left it. Nothing when there is no such step.
  std::optional<AppliedStep> undo(EditState& state);
  std::optional<AppliedStep> redo(EditState& state);

  std::optional<std::string_view> undoName() const;
  std::optional<std::string_view> redoName() const;
  std::size_t undoCount() const { return done_; }
  std::size_t redoCount() const { return steps_.size() - done_; }
  void clear();

  // What the kept steps take, their bookkeeping included.
  std::size_t bytesUsed() const { return bytes_; }

  // Every step gets a number of its own, never reused; the settings as the history leaves them
  // are named by the number of the last step applied (a number no step has after clear(), or
  // before the first step). Two moments with the same number show the same settings.
  std::uint64_t appliedId() const { return done_ > 0 ? steps_[done_ - 1].id : baseId_; }
  // The number of the oldest step still kept, or of the next step when none is.
  std::uint64_t oldestId() const { return steps_.empty() ? nextId_ : steps_.front().id; }

 private:
  struct Step {
    std::string name;
    // Runs of the state's bytes: offset and length (two little-endian words each), then the
    // bytes before the edit, then the bytes after it.
    std::vector<std::uint8_t> runs;
    bool mostOfBlock = false;
    std::uint64_t id = 0;
  };
  static std::size_t Cost(const Step& step);
  void dropOldest();

  std::size_t byteBudget_;
  std::size_t minimumSteps_;
  std::deque<Step> steps_;
  std::size_t done_ = 0;  // steps_[0 .. done_) are applied; the rest were undone
  std::size_t bytes_ = 0;
  std::uint64_t baseId_ = 0;  // what appliedId() names when no kept step is applied
  std::uint64_t nextId_ = 1;
};

}  // namespace kdsp::settings
