// SPDX-License-Identifier: GPL-3.0-or-later
// Writing and reading the messages between two starts of the program.
#include "app/instance_message.h"

#include <charconv>
#include <functional>

namespace kdsp::app {
namespace {

// The first line of each message; the number changes when the messages do, so a program
// never acts on a message it would misread.
constexpr std::string_view kRequestHeader = "kdsp-request 1";
constexpr std::string_view kReplyHeader = "kdsp-reply 1";
constexpr std::string_view kEnd = "end";

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AddField(std::string& text, std::string_view key, std::string_view value) {
  text += key;
  text += ' ';
  text += PercentEncode(value);
  text += '\n';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads the lines of a message: the header, "key value" fields handed to take (false when it
// cannot use one) and the end line. Only whole lines count.
MessageState ReadMessage(std::string_view bytes, std::string_view header,
                         const std::function<bool(std::string_view key, std::string value)>& take) {
  bool headerSeen = false;
  for (std::size_t at = 0;;) {
    const std::size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) return MessageState::kIncomplete;
    const std::string_view line = bytes.substr(at, end - at);
    at = end + 1;
    if (!headerSeen) {
      if (line != header) return MessageState::kInvalid;
      headerSeen = true;
      continue;
    }
    if (line == kEnd) return at == bytes.size() ? MessageState::kComplete : MessageState::kInvalid;
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return MessageState::kInvalid;
    auto value = PercentDecode(line.substr(space + 1));
    if (!value || !take(line.substr(0, space), std::move(*value))) return MessageState::kInvalid;
  }
}

}  // namespace

std::string PercentEncode(std::string_view value) {
  std::string encoded;
  for (char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x21 || byte == '%' || byte == 0x7F) {
      encoded += '%';
      encoded += kHexDigits[byte >> 4];
      encoded += kHexDigits[byte & 0x0F];
    } else {
      encoded += c;
    }
  }
  return encoded;
}

std::optional<std::string> PercentDecode(std::string_view value) {
  std::string decoded;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '%') {
      decoded += value[i];
      continue;
    }
    if (i + 2 >= value.size()) return std::nullopt;
    const int high = HexValue(value[i + 1]), low = HexValue(value[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    decoded += static_cast<char>(high << 4 | low);
    i += 2;
  }
  return decoded;
}

std::string EncodeRequest(const InstanceRequest& request) {
  std::string text(kRequestHeader);
  text += '\n';
  AddField(text, "cwd", request.workingFolder);
  for (const std::string& argument : request.arguments) AddField(text, "arg", argument);
  text += kEnd;
  text += '\n';
  return text;
}

std::string EncodeReply(const InstanceReply& reply) {
  std::string text(kReplyHeader);
  text += '\n';
  AddField(text, "out", reply.out);
  AddField(text, "err", reply.err);
  AddField(text, "status", std::to_string(reply.status));
  text += kEnd;
  text += '\n';
  return text;
}

Decoded<InstanceRequest> DecodeRequest(std::string_view bytes) {
  Decoded<InstanceRequest> decoded;
  bool folderSeen = false;
  decoded.state = ReadMessage(bytes, kRequestHeader, [&](std::string_view key, std::string value) {
    if (key == "arg") {
      decoded.message.arguments.push_back(std::move(value));
      return true;
    }
    if (key != "cwd" || folderSeen) return false;
    folderSeen = true;
    decoded.message.workingFolder = std::move(value);
    return true;
  });
  if (decoded.state == MessageState::kComplete && !folderSeen)
    decoded.state = MessageState::kInvalid;
  return decoded;
}

Decoded<InstanceReply> DecodeReply(std::string_view bytes) {
  Decoded<InstanceReply> decoded;
  bool statusSeen = false;
  decoded.state = ReadMessage(bytes, kReplyHeader, [&](std::string_view key, std::string value) {
    if (key == "out") {
      decoded.message.out += value;
    } else if (key == "err") {
      decoded.message.err += value;
    } else if (key == "status" && !statusSeen) {
      int status = -1;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), status);
      if (error != std::errc() || end != value.data() + value.size() || status < 0 || status > 255)
        return false;
      decoded.message.status = status;
      statusSeen = true;
    } else {
      return false;
    }
    return true;
  });
  if (decoded.state == MessageState::kComplete && !statusSeen)
    decoded.state = MessageState::kInvalid;
  return decoded;
}

}  // namespace kdsp::app
