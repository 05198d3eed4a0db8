// TCP over POSIX sockets where every step has a bound: a non-blocking socket
// and poll with a deadline, so a dead or silent peer costs at most the given
// time. Sends never raise SIGPIPE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vazmail {

// Milliseconds of a monotonic clock.
int64_t MonotonicMs();

enum class NetIo { Ok, TimedOut, Closed, Failed };

// Resolves host (name or numeric IPv4 address) for IPv4 TCP and connects to
// the first address that accepts within timeoutMs. The socket (non-blocking)
// or -1 with the reason in *why.
int ConnectTcp(const char* host, int port, int timeoutMs, std::string* why);
// Sends all n bytes within timeoutMs. *err: errno of a failure.
NetIo SendAll(int fd, const char* bytes, size_t n, int timeoutMs, int* err);
// Receives what is there (at least one byte) within timeoutMs; *got bytes.
NetIo ReceiveSome(int fd, char* dest, size_t room, int timeoutMs, int* got, int* err);
// "time-out after N ms", "connection closed by the server", or the errno text.
std::string DescribeIo(NetIo result, int err, int timeoutMs);

}  // namespace vazmail
