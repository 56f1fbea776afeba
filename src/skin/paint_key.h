// A fingerprint of everything a control's picture depends on. A window compares a control's
// fingerprint with the one it had when last painted and repaints only the controls whose picture
// changed: a changed fingerprint means a changed picture, while the same fingerprint means the
// same picture, so nothing that changes the picture may be left out of it.
#pragma once

#include <bit>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "skin/control_input.h"

namespace kdsp::skin {

class PaintKey {
 public:
  template <typename T>
  PaintKey& add(const T& value) {
    if constexpr (std::is_pointer_v<T>) {
      mix(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(value)));
    } else if constexpr (std::is_enum_v<T>) {
      mix(static_cast<std::uint64_t>(value));
    } else {
      static_assert(std::is_integral_v<T>, "a fingerprint takes integers, enums and pointers");
      mix(static_cast<std::uint64_t>(value));
    }
    return *this;
  }
  PaintKey& add(const Rect& r) { return add(r.x).add(r.y).add(r.w).add(r.h); }
  PaintKey& add(std::string_view text) {
    add(text.size());
    for (char c : text) add(c);
    return *this;
  }
  PaintKey& add(const PaintKey& nested) { return add(nested.value()); }

  std::uint64_t value() const { return hash_; }

 private:
  // FNV-1a over the value's eight bytes: cheap, and a change of any byte changes the result.
  void mix(std::uint64_t v) {
    for (int i = 0; i < 8; ++i) {
      hash_ ^= (v >> (8 * i)) & 0xffu;
      hash_ *= 0x100000001b3ull;
    }
  }

  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

}  // namespace kdsp::skin
