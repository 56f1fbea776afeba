// How the device link talks to the user: messages, yes/no questions and input boxes. The program
// answers through its windows; tests answer through a scripted implementation.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kdsp::device {

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;
  // A message box with a fixed text.
  virtual void showMessage(std::string_view text) = 0;
  // A Yes/No question; true for Yes.
  virtual bool askYesNo(std::string_view caption, std::string_view question) = 0;
  // The same question without waiting for the answer: the call returns at once, the question
  // may stay open while the event loop goes on, and answered gets the answer (true for Yes)
  // once, possibly before the call returns. A question still open when the prompts object or
  // its window goes is never answered.
  virtual void askYesNoAsync(std::string_view caption, std::string_view question,
                             std::function<void(bool yes)> answered) = 0;
  // An input box; nothing when the user cancels.
  virtual std::optional<std::string> askText(std::string_view caption, std::string_view prompt,
                                             std::string_view initialText) = 0;
};

// The link's fixed message texts.
namespace message {
inline constexpr std::string_view kNoConnectingDevice = "No connecting device!";
inline constexpr std::string_view kSizeTooLarge = "Size too large";
inline constexpr std::string_view kVersionNoMatch = "Version no match!";
inline constexpr std::string_view kEmptyOrChecksumError = "Empty or checksum error record!";
inline constexpr std::string_view kUploadNotAcknowledged =
    "The processor did not acknowledge the transfer in time. The upload was stopped and the "
    "preset slot was left unchanged.";
inline constexpr std::string_view kUploadInterrupted =
    "The processor was disconnected during the transfer. The preset slot was left unchanged.";
inline constexpr std::string_view kUploadConnectionClosed =
    "The connection to the processor was closed during the transfer. The preset slot was left "
    "unchanged.";
// Once the store record has gone out, the processor may have stored the block whether or not
// its acknowledgement comes back.
inline constexpr std::string_view kStoreNotAcknowledged =
    "The processor did not acknowledge storing the settings in time. The preset slot may have "
    "been rewritten: read it back to check.";
inline constexpr std::string_view kStoreInterrupted =
    "The processor was disconnected before it acknowledged storing the settings. The preset "
    "slot may have been rewritten: read it back to check.";
inline constexpr std::string_view kStoreConnectionClosed =
    "The connection to the processor was closed before it acknowledged storing the settings. "
    "The preset slot may have been rewritten: read it back to check.";
// A wait for the processor ended because the WiFi connection went down.
inline constexpr std::string_view kConnectionClosed = "the connection to the processor was closed";
}  // namespace message

}  // namespace kdsp::device
