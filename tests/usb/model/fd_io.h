// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing file descriptors with the care a stream socket, a character device or a
// sysfs file needs: interrupted calls are resumed, short writes finished, a full non-blocking
// socket waited for, and every failure explained.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kdsp::usbmodel {

// Writes every byte; on failure error says why. Sockets are written without SIGPIPE.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes, std::string* error);

enum class ReadStatus {
  kData,     // got bytes
  kNothing,  // a non-blocking descriptor has nothing now
  kClosed,   // end of file: the other side closed
  kFailed,   // error says why
};

// One read into into; got is the count of bytes read.
ReadStatus ReadOnce(int fd, std::span<std::uint8_t> into, std::size_t& got, std::string* error);

// A whole small file (sysfs) as text.
bool ReadTextFile(std::string_view path, std::string& text, std::string* error);
// Writes text to a file in one write, as sysfs attributes want it.
bool WriteTextFile(std::string_view path, std::string_view text, std::string* error);

// "what: strerror(errno)".
std::string ErrnoText(std::string_view what, int errnoValue);

}  // namespace kdsp::usbmodel
