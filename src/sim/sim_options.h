// SPDX-License-Identifier: GPL-3.0-or-later
// How the simulated processor is told to behave, and the form its replies take.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "device/command_codes.h"

namespace kdsp::sim {

struct SimOptions {
  // The byte the greeting is answered with; anything but the accepted version makes the program
  // refuse to synchronise.
  std::uint8_t version = device::kAcceptedVersion;
  // Start with the front panel locked under this password (0..999).
  std::optional<std::uint16_t> lockedPassword{};
  // Never acknowledge a record.
  bool noAck = false;
  // Every reply, acknowledgements included, is due this many milliseconds after the input that
  // caused it, so a reply never overtakes the acknowledgement of an earlier record.
  int ackDelayMs = 0;
  // Chunk K (0..29) of every read-back carries one wrong block byte: each record is still
  // well-formed, but the block's checksum fails. -1: no corruption.
  int corruptChunk = -1;
  // The link is dropped after this many records have been received and answered; -1: never.
  int closeAfter = -1;
  // A read request is answered with the end record alone, as if the block had nothing in it.
  bool readEndOnly = false;
  // Chunk K (0..29) of every read-back is left out; the others and the end record still come.
  // -1: none is left out.
  int dropChunk = -1;
  // The read faults (corruptChunk, dropChunk, readEndOnly) spoil the reads of a link from this
  // one on, counting from 1; the reads before it are answered whole. A program that keeps what
  // an earlier read left behind shows it only when a good read came first.
  int readFaultsFrom = 1;
  // Extra milliseconds, on top of ackDelayMs, for every reply to a record of the given command:
  // a late acknowledgement of one kind of record only, with the rest of the link answering at
  // once. Replies still leave in order, so whatever follows a slow reply waits behind it.
  std::map<std::uint8_t, int> slowReplyMs{};
};

// One reply record in its text form (CR LF included), due delayMs after the input that caused it.
struct SimReply {
  std::string text;
  int delayMs = 0;
};

}  // namespace kdsp::sim
