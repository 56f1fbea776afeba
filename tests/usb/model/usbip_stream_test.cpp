// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the USB/IP byte stream: commands cut out of pieces of any size, answers written whole
// over a real socket pair however little the socket takes at once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "fd_io.h"
#include "usb_test_support.h"
#include "usbip_device.h"
#include "usbip_wire.h"

namespace kdsp::usbmodel {
namespace {

using testing::Control;
using testing::Hex;
using testing::Interrupt;
using testing::OutputData;
using testing::SubmitBytes;
using testing::ToHex;
using testing::UnlinkBytes;

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(UsbipStreamTest, CommandsComeOutWholeWhateverPiecesTheStreamArrivesIn) {
  const auto out = SubmitBytes(Interrupt(5, false, OutputData(":E50001001A\r\n")));
  const auto in = SubmitBytes(Interrupt(6, true));
  const auto unlink = UnlinkBytes(7, 6);
  const auto stream = Join({out, in, unlink});
  ASSERT_EQ(stream.size(), 48u + 64u + 48u + 48u);
  for (const std::size_t piece : {std::size_t{1}, std::size_t{5}, std::size_t{47}, std::size_t{48},
                                  std::size_t{113}, stream.size()}) {
    SCOPED_TRACE(piece);
    UsbipCommandReader reader;
    std::vector<UsbipCommand> commands;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
      reader.append(std::span(stream).subspan(at, std::min(piece, stream.size() - at)));
      while (auto c = reader.next()) commands.push_back(std::move(*c));
    }
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].seqnum, 5u);
    EXPECT_EQ(commands[0].direction, kUsbipDirOut);
    EXPECT_EQ(commands[0].data, OutputData(":E50001001A\r\n"));
    EXPECT_EQ(commands[1].seqnum, 6u);
    EXPECT_TRUE(commands[1].data.empty());  // an in transfer brings no data
    EXPECT_EQ(commands[2].command, kUsbipCmdUnlink);
    EXPECT_EQ(commands[2].unlinkSeqnum, 6u);
    EXPECT_EQ(reader.buffered(), 0u);
    EXPECT_FALSE(reader.broken());
  }
}

TEST(UsbipStreamTest, AnOutSubmitWaitsForAllOfItsData) {
  const auto out = SubmitBytes(Interrupt(1, false, OutputData("abc")));
  UsbipCommandReader reader;
  reader.append(std::span(out).first(48 + 63));
  EXPECT_FALSE(reader.next());
  reader.append(std::span(out).subspan(48 + 63));
  EXPECT_TRUE(reader.next());
}

TEST(UsbipStreamTest, IsochronousPacketDescriptorsAreSteppedOver) {
  // Two descriptors of 16 bytes follow the out data; the command after them is still found.
  auto iso =
      Hex("00000001 00000001 00010002 00000000 00000003 00000000 00000004 00000000 00000002 "
          "00000001 00000000 00000000 a1a2a3a4");
  iso.resize(iso.size() + 2 * kUsbipIsoDescriptorSize, 0xEE);
  const auto stream = Join({iso, UnlinkBytes(2, 1)});
  UsbipCommandReader reader;
  reader.append(stream);
  const auto first = reader.next();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->data, Hex("a1a2a3a4"));
  const auto second = reader.next();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->command, kUsbipCmdUnlink);
}

TEST(UsbipStreamTest, AStreamNoHostControllerWritesIsBrokenForGood) {
  struct Case {
    const char* name;
    const char* header;
    const char* error;
  };
  const Case cases[] = {
      {"a reply where a command belongs", "00000003 00000001", "unknown USB/IP command 3"},
      {"negative length",
       "00000001 00000001 00010002 00000000 00000001 00000000 ffffffff 00000000 00000000",
       "bad transfer length -1"},
      {"length beyond any transfer",
       "00000001 00000001 00010002 00000000 00000001 00000000 7fffffff 00000000 00000000",
       "bad transfer length"},
      {"too many packets",
       "00000001 00000001 00010002 00000001 00000001 00000000 00000000 00000000 00100000",
       "bad packet count"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto bytes = Hex(c.header);
    bytes.resize(kUsbipHeaderSize, 0);
    UsbipCommandReader reader;
    reader.append(bytes);
    EXPECT_FALSE(reader.next());
    EXPECT_TRUE(reader.broken());
    EXPECT_NE(reader.error().find(c.error), std::string::npos) << reader.error();
    reader.append(UnlinkBytes(2, 1));
    EXPECT_FALSE(reader.next());
  }
}

// The device's end of a socket pair, served the way the transport serves the real one: read
// what is there (a few bytes at a time here), answer it, write the answers whole.
void Serve(int fd, UsbipDevice& device, std::size_t readPiece, std::size_t answerBytes) {
  std::vector<std::uint8_t> buffer(readPiece);
  std::size_t answered = 0;
  while (answered < answerBytes) {
    std::size_t got = 0;
    std::string error;
    const ReadStatus status = ReadOnce(fd, buffer, got, &error);
    ASSERT_EQ(status, ReadStatus::kData) << error;
    std::vector<std::uint8_t> answers;
    ASSERT_TRUE(device.receive({buffer.data(), got}, answers)) << device.error();
    ASSERT_TRUE(WriteAll(fd, answers, &error)) << error;
    answered += answers.size();
  }
}

std::vector<std::uint8_t> ReadExactly(int fd, std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  std::size_t have = 0;
  while (have < n) {
    std::size_t got = 0;
    std::string error;
    const ReadStatus status = ReadOnce(
        fd, std::span(bytes).subspan(have, std::min<std::size_t>(7, n - have)), got, &error);
    if (status != ReadStatus::kData) {
      ADD_FAILURE() << "read ended after " << have << " of " << n << " bytes: " << error;
      bytes.resize(have);
      return bytes;
    }
    have += got;
  }
  return bytes;
}

TEST(UsbipStreamTest, EnumerationOverASocketPairInOddPiecesGetsWholeAnswersInOrder) {
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
  UsbipDevice device(UsbDeviceIdentity{}, true);
  // Device descriptor (8 bytes, then all), then a request the device stalls.
  const auto requests = Join({SubmitBytes(Control(1, "80 06 00 01 00 00 08 00", 8)),
                              SubmitBytes(Control(2, "80 06 00 01 00 00 12 00", 18)),
                              SubmitBytes(Control(3, "80 06 00 06 00 00 0A 00", 10))});
  // The host's side writes in pieces of 13 bytes from its own thread.
  std::thread host([&] {
    for (std::size_t at = 0; at < requests.size(); at += 13) {
      std::string error;
      EXPECT_TRUE(WriteAll(
          pair[0], std::span(requests).subspan(at, std::min<std::size_t>(13, requests.size() - at)),
          &error))
          << error;
    }
    // Nothing more comes: a device that stopped answering early ends the test, not hangs it.
    ::shutdown(pair[0], SHUT_WR);
  });
  const std::size_t answerBytes = 48 + 8 + 48 + 18 + 48;
  Serve(pair[1], device, 5, answerBytes);
  ::shutdown(pair[1], SHUT_WR);
  host.join();
  const auto answers = ReadExactly(pair[0], answerBytes);
  EXPECT_EQ(ToHex(answers),
            ToHex(Hex("00000003 00000001 00000000 00000000 00000000 00000000 00000008 00000000 "
                      "00000000 00000000 00000000 00000000 "
                      "12010002 00000040 "
                      "00000003 00000002 00000000 00000000 00000000 00000000 00000012 00000000 "
                      "00000000 00000000 00000000 00000000 "
                      "12010002 00000040 83045701 00020102 0301 "
                      "00000003 00000003 00000000 00000000 00000000 ffffffe0 00000000 00000000 "
                      "00000000 00000000 00000000 00000000")));
  ::close(pair[0]);
  ::close(pair[1]);
}

TEST(UsbipStreamTest, AWriteLargerThanTheSocketTakesIsFinishedWhileThePeerReadsSlowly) {
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
  // A small, non-blocking send buffer: the write cannot go in one piece.
  const int small = 4096;
  ASSERT_EQ(::setsockopt(pair[1], SOL_SOCKET, SO_SNDBUF, &small, sizeof small), 0);
  ASSERT_EQ(::fcntl(pair[1], F_SETFL, ::fcntl(pair[1], F_GETFL) | O_NONBLOCK), 0);
  std::vector<std::uint8_t> big(300 * 1000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  std::vector<std::uint8_t> received;
  std::thread reader([&] { received = ReadExactly(pair[0], big.size()); });
  std::string error;
  EXPECT_TRUE(WriteAll(pair[1], big, &error)) << error;
  // A write that gave up early ends the reader too.
  ::shutdown(pair[1], SHUT_WR);
  reader.join();
  EXPECT_TRUE(received == big);
  ::close(pair[0]);
  ::close(pair[1]);
}

TEST(UsbipStreamTest, WritingToAClosedPeerFailsWithAReasonInsteadOfASignal) {
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
  ::close(pair[0]);
  std::string error;
  EXPECT_FALSE(WriteAll(pair[1], Hex("00000004"), &error));
  EXPECT_NE(error.find("Broken pipe"), std::string::npos) << error;
  std::uint8_t byte[1];
  std::size_t got = 0;
  EXPECT_EQ(ReadOnce(pair[1], byte, got, &error), ReadStatus::kClosed);
  ::close(pair[1]);
}

}  // namespace
}  // namespace kdsp::usbmodel
