// SPDX-License-Identifier: GPL-3.0-or-later
// What a later start of kdsp passes to the program already running, and the running program's
// answer: a few lines of text over the single-instance socket. The request carries the later
// start's arguments and working folder, so the running program reads them with the same parser
// and acts on them; the answer carries what the later start prints and the status it exits with.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kdsp::app {

struct InstanceRequest {
  std::string workingFolder;           // where relative paths among the arguments start
  std::vector<std::string> arguments;  // without the program name

  bool operator==(const InstanceRequest&) const = default;
};

struct InstanceReply {
  std::string out;  // for the later start's standard output
  std::string err;  // for its standard error
  int status = 0;   // its exit status (0..255)

  bool operator==(const InstanceReply&) const = default;
};

// Each message is a header line, one "key value" line per field and "end"; values are
// percent-encoded, so spaces, line ends and any other bytes travel intact.
std::string EncodeRequest(const InstanceRequest& request);
std::string EncodeReply(const InstanceReply& reply);

// Reading a message from the bytes received so far.
enum class MessageState {
  kIncomplete,  // its end has not arrived yet
  kComplete,
  kInvalid,  // not a message of this kind: the peer speaks something else
};
template <typename Message>
struct Decoded {
  MessageState state = MessageState::kIncomplete;
  Message message;
};
Decoded<InstanceRequest> DecodeRequest(std::string_view bytes);
Decoded<InstanceReply> DecodeReply(std::string_view bytes);

// The encoding of values: bytes below 0x21, '%' and 0x7F become %XX (uppercase hex).
std::string PercentEncode(std::string_view value);
// Nothing when a '%' is not followed by two hex digits.
std::optional<std::string> PercentDecode(std::string_view value);

}  // namespace kdsp::app
