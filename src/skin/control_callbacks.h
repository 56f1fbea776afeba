// SPDX-License-Identifier: GPL-3.0-or-later
// The callbacks a window plugs into its skin controls, the value boxes' 10-byte text, and the
// change handlers that write a control's value into the parameter block.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kdsp::skin {

struct ImgButton;
struct ImgEdit;

// A value box's text: at most 9 ASCII characters and a terminating zero.
inline constexpr std::size_t kBoxTextBytes = 10;
inline constexpr int kBoxTextMaxChars = static_cast<int>(kBoxTextBytes) - 1;
using BoxText = std::array<char, kBoxTextBytes>;

// Clears all 10 bytes, then copies at most 9 characters of s.
void SetBoxText(BoxText& text, std::string_view s);
// The characters before the first zero.
std::string_view BoxTextView(const BoxText& text);

// Runs when a button is released after a press on it; reads the button's new `state`.
using ClickHandler = void (*)(ImgButton& button, void* userData);

// Builds the display text of a value into a cleared buffer.
using ValueFormatter = void (*)(std::int32_t value, BoxText& text);

// Runs after every value change of a fader or knob with its value, its `target` in the
// parameter block and its `userData` (pages hand themselves over there when a change touches
// more than the one field).
using ChangeHandler = void (*)(std::int32_t value, void* target, void* userData);

// Receives a value box's text buffer when an entry is committed: parses it, stores the value when
// it is acceptable, and rewrites the buffer with the canonical text of the resulting value.
// Returns whether the entry was taken: a refused one makes the box flash.
// Form B, the one pages use, with the control that owns the box as user data.
using CommitHandler = bool (*)(void* userData, BoxText& text);
// Form A: the box itself comes first.
using BoxCommitHandler = bool (*)(ImgEdit& box, void* userData, BoxText& text);

// The change handlers of the pages. Each does nothing when target is empty.
// The value as a little-endian int16 at target.
void StoreWord(std::int32_t value, void* target, void* userData);
// The low 7 bits of the value into the byte at target, keeping that byte's bit 7.
void StoreLow7(std::int32_t value, void* target, void* userData);
// The low byte of the value at target.
void StoreByte(std::int32_t value, void* target, void* userData);

// The change step shared by faders and knobs: with a handler, call it and set the changed flag;
// without one, neither the parameter block nor the flag is touched.
void FireChange(ChangeHandler handler, std::int32_t value, void* target, void* userData,
                std::uint8_t* changed);

// Clamps to [lo, hi] in wide arithmetic, so a sum that leaves the int32 range still lands on an
// end of the range.
constexpr std::int32_t ClampValue(std::int64_t v, std::int32_t lo, std::int32_t hi) {
  return v < lo ? lo : v > hi ? hi : static_cast<std::int32_t>(v);
}

}  // namespace kdsp::skin
