// SPDX-License-Identifier: GPL-3.0-or-later
// A fingerprint of everything a control's picture depends on. A window compares a control's
// fingerprint with the one it had when last painted and repaints only the controls whose picture
// changed: a changed fingerprint means a changed picture, while the same fingerprint means the
// same picture, so nothing that changes the picture may be left out of it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace kdsp::skin {

class PaintKey {
 public:
  // Any value without padding: integers, enums, pointers, plain records of them.
  template <typename T>
  PaintKey& add(const T& value) {
    static_assert(std::has_unique_object_representations_v<T>, "no padding may reach the key");
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (unsigned char byte : bytes) mix(byte);
    return *this;
  }
  PaintKey& add(bool value) { return add(static_cast<unsigned char>(value)); }
  PaintKey& add(std::string_view text) {
    add(text.size());
    for (char c : text) add(c);
    return *this;
  }
  PaintKey& add(const PaintKey& nested) { return add(nested.value()); }

  std::uint64_t value() const { return hash_; }

 private:
  // FNV-1a: cheap, and a change of any byte changes the result.
  void mix(unsigned char byte) { hash_ = (hash_ ^ byte) * 0x100000001b3ull; }

  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

}  // namespace kdsp::skin
