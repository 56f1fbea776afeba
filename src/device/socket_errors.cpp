// SPDX-License-Identifier: GPL-3.0-or-later
// The socket link's error descriptions and the mapping of the platform's error numbers.
#include "device/socket_errors.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <utility>

namespace kdsp::device {
namespace {

constexpr std::array<std::pair<int, std::string_view>, 32> kDescriptions{{
    {kWsaEIntr, "The (blocking) call was canceled through WSACancelBlockingCall."},
    {kWsaEAcces,
     "Attempt to connect datagram socket to broadcast address failed because setsockopt "
     "SO_BROADCAST is not enabled; or the requested address is a broadcast address, but the "
     "appropriate flag was not set."},
    {kWsaEFault,
     "The name or the namelen argument is not a valid part of the user address space, the namelen "
     "argument is too small, the name argument contains incorrect address format for the "
     "associated address family, or the first two bytes of the memory block specified by name does "
     "not match the address family associated with the socket descriptor s."},
    {kWsaEInval, "The socket is not(or is already) bound to an address ,etc."},
    {kWsaEMFile, "No more socket descriptors are available."},
    {kWsaEWouldBlock,
     "The socket is marked as nonblocking and the requested operation would block,and cannot be "
     "completed immediately. "},
    {kWsaEInProgress,
     "A blocking Windows Sockets 1.1 call is in progress, or the service provider is still "
     "processing a callback function."},
    {kWsaEAlready, "A nonblocking connect call is in progress on the specified socket."},
    {kWsaENotSock, "The descriptor is not a socket."},
    {kWsaEDestAddrReq, "A required address was omitted from an operation on a socket."},
    {kWsaEMsgSize,
     "The socket is message oriented, and the message is larger than the maximum supported by the "
     "underlying transport."},
    {kWsaEPrototype, "The specified protocol is the wrong type for this socket."},
    {kWsaEProtoNoSupport, "The specified protocol is not supported."},
    {kWsaESocktNoSupport, "The specified socket type is not supported in this address family."},
    {kWsaEOpNotSupp,
     "MSG_OOB was specified, but the socket is not stream style such as type SOCK_STREAM, "
     "out-of-band data is not supported in the communication domain associated with this socket, "
     "or the socket is unidirectional and supports only receive operations."},
    {kWsaEAfNoSupport, "The specified address family is not supported."},
    {kWsaEAddrInUse, "The specified address is already in use."},
    {kWsaEAddrNotAvail, "The specified address is not available from the local machine."},
    {kWsaENetDown, "The network subsystem or the associated service provider has failed."},
    {kWsaENetUnreach, "The network cannot be reached from this host at this time."},
    {kWsaENetReset, "The connection has been broken due to the remote host resetting."},
    {kWsaEConnAborted,
     "The virtual circuit was terminated due to a time-out or other failure. The application "
     "should close the socket as it is no longer usable."},
    {kWsaEConnReset,
     "The virtual circuit was reset by the remote side executing a 'hard' or 'abortive' close. For "
     "UDP sockets, the remote host was unable to deliver a previously sent UDP datagram and "
     "responded with a 'Port Unreachable' ICMP packet. The application should close the socket as "
     "it is no longer usable."},
    {kWsaENoBufs, "Not enough buffers available, no more socket, connections or other action!"},
    {kWsaEIsConn, "The socket is already connected (connection-oriented sockets only)."},
    {kWsaENotConn, "The socket is not connected."},
    {kWsaEShutdown,
     "The socket has been shut down; it is not possible to send on a socket after shutdown has been "
     "invoked with how set to SD_SEND or SD_BOTH."},
    {kWsaETimedOut,
     "Operation timed out; the connection may have been dropped, because of a network failure or "
     "because the system on the other end went down without notice."},
    {kWsaEConnRefused, "The attempt to connect was forcefully rejected."},
    {kWsaEHostDown, "A socket operation failed because the destination host is down."},
    {kWsaEHostUnreach, "The remote host cannot be reached from this host at this time."},
    {kWsaNotInitialised, "A successful WSAStartup must occur before using this function."},
}};

constexpr std::string_view kUnknownError = "Unknown error";

}  // namespace

std::string_view MapErrorCode(int code) {
  for (const auto& [known, description] : kDescriptions)
    if (known == code) return description;
  return kUnknownError;
}

int SocketErrorFromErrno(int errnoValue) {
  // EAGAIN and EWOULDBLOCK are one value on some platforms and two on others, which a switch
  // cannot hold both ways.
  if (errnoValue == EWOULDBLOCK || errnoValue == EAGAIN) return kWsaEWouldBlock;
  switch (errnoValue) {
    case EINTR:
      return kWsaEIntr;
    case EACCES:
      return kWsaEAcces;
    case EFAULT:
      return kWsaEFault;
    case EINVAL:
      return kWsaEInval;
    case EMFILE:
      return kWsaEMFile;
    // The platform reports a non-blocking connect still under way as EINPROGRESS, and a second
    // connect on it as EALREADY; both are the situation the "nonblocking connect call is in
    // progress" code describes. The "blocking call in progress" code has no counterpart here.
    case EINPROGRESS:
    case EALREADY:
      return kWsaEAlready;
    case ENOTSOCK:
      return kWsaENotSock;
    case EDESTADDRREQ:
      return kWsaEDestAddrReq;
    case EMSGSIZE:
      return kWsaEMsgSize;
    case EPROTOTYPE:
      return kWsaEPrototype;
    case EPROTONOSUPPORT:
      return kWsaEProtoNoSupport;
    case ESOCKTNOSUPPORT:
      return kWsaESocktNoSupport;
    case EOPNOTSUPP:
      return kWsaEOpNotSupp;
    case EAFNOSUPPORT:
      return kWsaEAfNoSupport;
    case EADDRINUSE:
      return kWsaEAddrInUse;
    case EADDRNOTAVAIL:
      return kWsaEAddrNotAvail;
    case ENETDOWN:
      return kWsaENetDown;
    case ENETUNREACH:
      return kWsaENetUnreach;
    case ENETRESET:
      return kWsaENetReset;
    case ECONNABORTED:
      return kWsaEConnAborted;
    case ECONNRESET:
      return kWsaEConnReset;
    case ENOBUFS:
      return kWsaENoBufs;
    case EISCONN:
      return kWsaEIsConn;
    case ENOTCONN:
      return kWsaENotConn;
    case ESHUTDOWN:
    case EPIPE:
      return kWsaEShutdown;
    case ETIMEDOUT:
      return kWsaETimedOut;
    case ECONNREFUSED:
      return kWsaEConnRefused;
    case EHOSTDOWN:
      return kWsaEHostDown;
    case EHOSTUNREACH:
      return kWsaEHostUnreach;
    default:
      return kUnmappedErrnoBase + errnoValue;
  }
}

std::string ComposeErrorText(int code, std::string_view text) {
  std::string composed(text);
  if (code > 0) {
    composed += " : ";
    composed += MapErrorCode(code);
  }
  return composed;
}

std::string ClosedForErrorText(int code) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(code));
  return std::string("!!!!!!!!socket closed for error") + digits;
}

}  // namespace kdsp::device
