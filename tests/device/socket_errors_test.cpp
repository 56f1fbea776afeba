// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the socket error vocabulary: every description, the platform error mapping, the
// report texts and the notification parameter.
#include "device/socket_errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string_view>
#include <utility>
#include <vector>

namespace kdsp::device {
namespace {

const std::vector<std::pair<int, std::string_view>> kDescribed = {
    {10004, "The (blocking) call was canceled through WSACancelBlockingCall."},
    {10013,
     "Attempt to connect datagram socket to broadcast address failed because setsockopt "
     "SO_BROADCAST is not enabled; or the requested address is a broadcast address, but the "
     "appropriate flag was not set."},
    {10014,
     "The name or the namelen argument is not a valid part of the user address space, the namelen "
     "argument is too small, the name argument contains incorrect address format for the "
     "associated address family, or the first two bytes of the memory block specified by name does "
     "not match the address family associated with the socket descriptor s."},
    {10022, "The socket is not(or is already) bound to an address ,etc."},
    {10024, "No more socket descriptors are available."},
    {10035,
     "The socket is marked as nonblocking and the requested operation would block,and cannot be "
     "completed immediately. "},
    {10036,
     "A blocking Windows Sockets 1.1 call is in progress, or the service provider is still "
     "processing a callback function."},
    {10037, "A nonblocking connect call is in progress on the specified socket."},
    {10038, "The descriptor is not a socket."},
    {10039, "A required address was omitted from an operation on a socket."},
    {10040,
     "The socket is message oriented, and the message is larger than the maximum supported by the "
     "underlying transport."},
    {10041, "The specified protocol is the wrong type for this socket."},
    {10043, "The specified protocol is not supported."},
    {10044, "The specified socket type is not supported in this address family."},
    {10045,
     "MSG_OOB was specified, but the socket is not stream style such as type SOCK_STREAM, "
     "out-of-band data is not supported in the communication domain associated with this socket, "
     "or the socket is unidirectional and supports only receive operations."},
    {10047, "The specified address family is not supported."},
    {10048, "The specified address is already in use."},
    {10049, "The specified address is not available from the local machine."},
    {10050, "The network subsystem or the associated service provider has failed."},
    {10051, "The network cannot be reached from this host at this time."},
    {10052, "The connection has been broken due to the remote host resetting."},
    {10053,
     "The virtual circuit was terminated due to a time-out or other failure. The application "
     "should close the socket as it is no longer usable."},
    {10054,
     "The virtual circuit was reset by the remote side executing a 'hard' or 'abortive' close. For "
     "UDP sockets, the remote host was unable to deliver a previously sent UDP datagram and "
     "responded with a 'Port Unreachable' ICMP packet. The application should close the socket as "
     "it is no longer usable."},
    {10055, "Not enough buffers available, no more socket, connections or other action!"},
    {10056, "The socket is already connected (connection-oriented sockets only)."},
    {10057, "The socket is not connected."},
    {10058,
     "The socket has been shut down; it is not possible to send on a socket after shutdown has been "
     "invoked with how set to SD_SEND or SD_BOTH."},
    {10060,
     "Operation timed out; the connection may have been dropped, because of a network failure or "
     "because the system on the other end went down without notice."},
    {10061, "The attempt to connect was forcefully rejected."},
    {10064, "A socket operation failed because the destination host is down."},
    {10065, "The remote host cannot be reached from this host at this time."},
    {10093, "A successful WSAStartup must occur before using this function."},
};

TEST(MapErrorCode, DescribesEveryKnownCodeExactly) {
  for (const auto& [code, text] : kDescribed) EXPECT_EQ(MapErrorCode(code), text) << code;
}

TEST(MapErrorCode, AnyOtherCodeIsUnknown) {
  for (int code : {-1, 0, 1, 10000, 10003, 10042, 10046, 10059, 10062, 10063, 10092, 10094, 11001,
                   kUnmappedErrnoBase + ENOENT, MakeSelectReply(kFdConnect, 10061)})
    EXPECT_EQ(MapErrorCode(code), "Unknown error") << code;
}

TEST(SocketErrorFromErrno, MapsThePlatformNumbersOntoTheDescribedCodes) {
  const std::vector<std::pair<int, int>> cases = {
      {EINTR, 10004},         {EACCES, 10013},          {EFAULT, 10014},
      {EINVAL, 10022},        {EMFILE, 10024},          {EWOULDBLOCK, 10035},
      {EAGAIN, 10035},        {EINPROGRESS, 10037},     {EALREADY, 10037},
      {ENOTSOCK, 10038},      {EDESTADDRREQ, 10039},    {EMSGSIZE, 10040},
      {EPROTOTYPE, 10041},    {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044},
      {EOPNOTSUPP, 10045},    {EAFNOSUPPORT, 10047},    {EADDRINUSE, 10048},
      {EADDRNOTAVAIL, 10049}, {ENETDOWN, 10050},        {ENETUNREACH, 10051},
      {ENETRESET, 10052},     {ECONNABORTED, 10053},    {ECONNRESET, 10054},
      {ENOBUFS, 10055},       {EISCONN, 10056},         {ENOTCONN, 10057},
      {ESHUTDOWN, 10058},     {EPIPE, 10058},           {ETIMEDOUT, 10060},
      {ECONNREFUSED, 10061},  {EHOSTDOWN, 10064},       {EHOSTUNREACH, 10065},
  };
  for (const auto& [errnoValue, code] : cases) {
    EXPECT_EQ(SocketErrorFromErrno(errnoValue), code) << errnoValue;
    EXPECT_NE(MapErrorCode(code), "Unknown error") << code;
  }
}

TEST(SocketErrorFromErrno, UnmappedNumbersStayRecoverableAndReadUnknown) {
  for (int errnoValue : {ENOENT, EIO, ENOMEM, EBADF}) {
    const int code = SocketErrorFromErrno(errnoValue);
    EXPECT_EQ(code, kUnmappedErrnoBase + errnoValue);
    EXPECT_EQ(MapErrorCode(code), "Unknown error");
  }
}

TEST(ErrorTexts, DescriptionFollowsTheTextOnlyForPositiveCodes) {
  EXPECT_EQ(ComposeErrorText(0, "Message:FD_CONNECT"), "Message:FD_CONNECT");
  EXPECT_EQ(ComposeErrorText(-5, "send() failed"), "send() failed");
  EXPECT_EQ(ComposeErrorText(10061, "connect() failed"),
            "connect() failed : The attempt to connect was forcefully rejected.");
  EXPECT_EQ(ComposeErrorText(MakeSelectReply(kFdConnect, 10061), "1035"), "1035 : Unknown error");
}

TEST(ErrorTexts, ClosedForErrorCarriesFourHexDigits) {
  EXPECT_EQ(ClosedForErrorText(10061), "!!!!!!!!socket closed for error274D");
  EXPECT_EQ(ClosedForErrorText(10049), "!!!!!!!!socket closed for error2741");
  EXPECT_EQ(ClosedForErrorText(5), "!!!!!!!!socket closed for error0005");
}

TEST(Notifications, ErrorTravelsInTheHighWord) {
  EXPECT_EQ(MakeSelectReply(kFdConnect, 0), 16);
  EXPECT_EQ(MakeSelectReply(kFdConnect, 10061), 659357712);
  EXPECT_EQ(MakeSelectReply(kFdClose, 10054), (10054 << 16) | 32);
  EXPECT_EQ(kSocketMessage, 1024 + 11);
}

}  // namespace
}  // namespace kdsp::device
