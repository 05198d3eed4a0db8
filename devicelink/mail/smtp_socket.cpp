#include "smtp_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "vazplatform/codepage.h"

namespace vazmail {

int64_t MonotonicMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

namespace {

// Waits for `events` on fd until deadlineMs. 1 ready, 0 time-out, -1 error.
int WaitFor(int fd, short events, int64_t deadlineMs, int* err) {
    for (;;) {
        int64_t left = deadlineMs - MonotonicMs();
        if (left <= 0) return 0;
        pollfd p{fd, events, 0};
        int r = poll(&p, 1, static_cast<int>(left));
        if (r > 0) return 1;
        if (r == 0) return 0;
        if (errno != EINTR) {
            *err = errno;
            return -1;
        }
    }
}

// A non-blocking connect finished within the deadline: 0, else errno (ETIMEDOUT for the bound).
int FinishConnect(int fd, int64_t deadlineMs) {
    int err = 0;
    int r = WaitFor(fd, POLLOUT, deadlineMs, &err);
    if (r == 0) return ETIMEDOUT;
    if (r < 0) return err;
    socklen_t len = sizeof err;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) return errno;
    return err;
}
}  // namespace

int ConnectTcp(const char* host, int port, int timeoutMs, std::string* why) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    int rc = getaddrinfo(host, service.c_str(), &hints, &found);
    if (rc != 0) {
        *why = std::string("cannot resolve ") + host + ": " + gai_strerror(rc);
        return -1;
    }
    int fd = -1;
    int lastErr = 0;
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            lastErr = errno;
            continue;
        }
        int err = connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
        if (err == EINPROGRESS) err = FinishConnect(fd, MonotonicMs() + timeoutMs);
        if (err != 0) {
            lastErr = err;
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    if (fd < 0) {
        *why = std::string("cannot connect to ") + host + ":" + service + ": " +
               (lastErr == ETIMEDOUT ? "no answer within " + std::to_string(timeoutMs) + " ms"
                                     : vazplat::SystemErrorText(lastErr));
    }
    return fd;
}

NetIo SendAll(int fd, const char* bytes, size_t n, int timeoutMs, int* err) {
    int64_t deadline = MonotonicMs() + timeoutMs;
    while (n > 0) {
        ssize_t w = send(fd, bytes, n, MSG_NOSIGNAL);
        if (w > 0) {
            bytes += w;
            n -= static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            *err = errno;
            return errno == EPIPE || errno == ECONNRESET ? NetIo::Closed : NetIo::Failed;
        }
        int r = WaitFor(fd, POLLOUT, deadline, err);
        if (r == 0) return NetIo::TimedOut;
        if (r < 0) return NetIo::Failed;
    }
    return NetIo::Ok;
}

NetIo ReceiveSome(int fd, char* dest, size_t room, int timeoutMs, int* got, int* err) {
    int64_t deadline = MonotonicMs() + timeoutMs;
    *got = 0;
    for (;;) {
        ssize_t r = recv(fd, dest, room, 0);
        if (r > 0) {
            *got = static_cast<int>(r);
            return NetIo::Ok;
        }
        if (r == 0) return NetIo::Closed;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            *err = errno;
            return errno == ECONNRESET ? NetIo::Closed : NetIo::Failed;
        }
        int w = WaitFor(fd, POLLIN, deadline, err);
        if (w == 0) return NetIo::TimedOut;
        if (w < 0) return NetIo::Failed;
    }
}

std::string DescribeIo(NetIo result, int err, int timeoutMs) {
    switch (result) {
        case NetIo::Ok:
            return "";
        case NetIo::TimedOut:
            return "no answer within " + std::to_string(timeoutMs) + " ms";
        case NetIo::Closed:
            return "connection closed by the server";
        case NetIo::Failed:
            break;
    }
    return vazplat::SystemErrorText(err);
}

}  // namespace vazmail
