// SPDX-License-Identifier: GPL-3.0-or-later
// Reading one JSON value.
#include "settings/json_value.h"

#include <charconv>
#include <cstdint>

namespace kdsp::settings {
namespace {

constexpr int kDeepest = 4;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool value(JsonValue& out, int depth) {
    space();
    if (at_ >= text_.size()) return false;
    const char c = text_[at_];
    if (c == '{') return depth < kDeepest && object(out, depth + 1);
    if (c == '"') {
      out.kind = JsonValue::Kind::kString;
      return string(out.text);
    }
    if (word("true")) return out.kind = JsonValue::Kind::kBool, out.boolean = true, true;
    if (word("false")) return out.kind = JsonValue::Kind::kBool, out.boolean = false, true;
    if (word("null")) return out.kind = JsonValue::Kind::kNull, true;
    return number(out);
  }

  bool atEnd() {
    space();
    return at_ == text_.size();
  }

 private:
  void space() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }
  bool word(std::string_view w) {
    if (text_.substr(at_, w.size()) != w) return false;
    at_ += w.size();
    return true;
  }
  bool number(JsonValue& out) {
    const char* first = text_.data() + at_;
    const char* last = text_.data() + text_.size();
    // JSON numbers have no leading '+', which from_chars would not take either; nor "nan" or
    // "inf", which it would.
    const std::size_t digit = at_ + (text_[at_] == '-' ? 1 : 0);
    if (digit >= text_.size() || text_[digit] < '0' || text_[digit] > '9') return false;
    const auto [end, error] = std::from_chars(first, last, out.number);
    if (error != std::errc() || end == first) return false;
    at_ += static_cast<std::size_t>(end - first);
    out.kind = JsonValue::Kind::kNumber;
    return true;
  }
  bool string(std::string& out) {
    ++at_;  // the opening quote
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) return false;
      const char e = text_[at_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'n':
          out += '\n';
          break;
        case 't':
          out += '\t';
          break;
        case 'r':
          out += '\r';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'u': {
          // Field values are ASCII names; other characters are taken as UTF-8 of their code.
          unsigned code = 0;
          if (at_ + 4 > text_.size()) return false;
          const auto [end, error] =
              std::from_chars(text_.data() + at_, text_.data() + at_ + 4, code, 16);
          if (error != std::errc() || end != text_.data() + at_ + 4) return false;
          at_ += 4;
          if (code < 0x80) {
            out += static_cast<char>(code);
          } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
          } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
          }
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }
  bool object(JsonValue& out, int depth) {
    out.kind = JsonValue::Kind::kObject;
    ++at_;  // '{'
    space();
    if (at_ < text_.size() && text_[at_] == '}') return ++at_, true;
    while (true) {
      space();
      if (at_ >= text_.size() || text_[at_] != '"') return false;
      std::string name;
      if (!string(name)) return false;
      space();
      if (at_ >= text_.size() || text_[at_] != ':') return false;
      ++at_;
      JsonValue member;
      if (!value(member, depth)) return false;
      out.members[name] = std::move(member);
      space();
      if (at_ >= text_.size()) return false;
      if (text_[at_] == '}') return ++at_, true;
      if (text_[at_] != ',') return false;
      ++at_;
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

std::optional<JsonValue> ParseJsonValue(std::string_view text) {
  Reader reader(text);
  JsonValue value;
  if (!reader.value(value, 0) || !reader.atEnd()) return std::nullopt;
  return value;
}

}  // namespace kdsp::settings
