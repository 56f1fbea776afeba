// SPDX-License-Identifier: GPL-3.0-or-later
// The edit history: steps as byte-run differences of the working settings, within a budget.
#include "settings/edit_history.h"

#include <array>
#include <cstring>
#include <span>
#include <type_traits>
#include <utility>

namespace kdsp::settings {
namespace {

// The state as one run of bytes, so a single difference covers the block and the values.
static_assert(std::is_trivially_copyable_v<ControlValues> &&
              std::has_unique_object_representations_v<ControlValues>);
constexpr std::size_t kImageSize = kBlockSize + sizeof(ControlValues);
using Image = std::array<std::uint8_t, kImageSize>;

// A run header costs four bytes; unchanged gaps shorter than that are cheaper kept in the run.
constexpr std::size_t kRunHeader = 4;
constexpr std::size_t kLongestKeptGap = kRunHeader / 2;

Image ImageOf(const EditState& state) {
  Image image;
  std::memcpy(image.data(), state.block.bytes().data(), kBlockSize);
  std::memcpy(image.data() + kBlockSize, &state.values, sizeof(ControlValues));
  return image;
}

void StoreImage(const Image& image, EditState& state) {
  std::memcpy(state.block.bytes().data(), image.data(), kBlockSize);
  std::memcpy(&state.values, image.data() + kBlockSize, sizeof(ControlValues));
}

void PutWord(std::vector<std::uint8_t>& out, std::size_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

std::size_t Word(const std::uint8_t* at) {
  return static_cast<std::size_t>(at[0]) | static_cast<std::size_t>(at[1]) << 8;
}

std::vector<std::uint8_t> Runs(const Image& before, const Image& after) {
  std::vector<std::uint8_t> runs;
  std::size_t i = 0;
  while (i < kImageSize) {
    if (before[i] == after[i]) {
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    for (std::size_t j = end; j < kImageSize && j <= end + kLongestKeptGap; ++j)
      if (before[j] != after[j]) end = j + 1;
    PutWord(runs, i);
    PutWord(runs, end - i);
    runs.insert(runs.end(), before.begin() + static_cast<std::ptrdiff_t>(i),
                before.begin() + static_cast<std::ptrdiff_t>(end));
    runs.insert(runs.end(), after.begin() + static_cast<std::ptrdiff_t>(i),
                after.begin() + static_cast<std::ptrdiff_t>(end));
    i = end;
  }
  runs.shrink_to_fit();
  return runs;
}

enum class Side { kBefore, kAfter };

void ApplyRuns(std::span<const std::uint8_t> runs, Side side, EditState& state) {
  Image image = ImageOf(state);
  std::size_t p = 0;
  while (p < runs.size()) {
    const std::size_t offset = Word(&runs[p]);
    const std::size_t length = Word(&runs[p + 2]);
    p += kRunHeader;
    std::memcpy(image.data() + offset, &runs[p + (side == Side::kBefore ? 0 : length)], length);
    p += 2 * length;
  }
  StoreImage(image, state);
}

}  // namespace

EditHistory::EditHistory(std::size_t byteBudget, std::size_t minimumSteps)
    : byteBudget_(byteBudget), minimumSteps_(minimumSteps) {}

std::size_t EditHistory::Cost(const Step& step) {
  return sizeof(Step) + step.name.size() + step.runs.size();
}

bool EditHistory::record(const EditState& before, const EditState& after, std::string name) {
  if (before == after) return false;
  while (steps_.size() > done_) {
    bytes_ -= Cost(steps_.back());
    steps_.pop_back();
  }
  Step step{std::move(name), Runs(ImageOf(before), ImageOf(after)),
            MostOfBlockDiffers(before.block, after.block), nextId_++};
  bytes_ += Cost(step);
  steps_.push_back(std::move(step));
  ++done_;
  while (steps_.size() > minimumSteps_ && bytes_ > byteBudget_) dropOldest();
  return true;
}

std::optional<AppliedStep> EditHistory::undo(EditState& state) {
  if (done_ == 0) return std::nullopt;
  const Step& step = steps_[--done_];
  ApplyRuns(step.runs, Side::kBefore, state);
  return AppliedStep{step.name, step.mostOfBlock, step.id};
}

std::optional<AppliedStep> EditHistory::redo(EditState& state) {
  if (done_ == steps_.size()) return std::nullopt;
  const Step& step = steps_[done_++];
  ApplyRuns(step.runs, Side::kAfter, state);
  return AppliedStep{step.name, step.mostOfBlock, step.id};
}

std::optional<std::string_view> EditHistory::undoName() const {
  if (done_ == 0) return std::nullopt;
  return steps_[done_ - 1].name;
}

std::optional<std::string_view> EditHistory::redoName() const {
  if (done_ == steps_.size()) return std::nullopt;
  return steps_[done_].name;
}

void EditHistory::clear() {
  baseId_ = nextId_++;
  steps_.clear();
  done_ = 0;
  bytes_ = 0;
}

void EditHistory::dropOldest() {
  baseId_ = steps_.front().id;
  bytes_ -= Cost(steps_.front());
  steps_.pop_front();
  --done_;
}

}  // namespace kdsp::settings
