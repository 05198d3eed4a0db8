#include "raw_http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace exampeer {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

// Waits until fd is readable or the deadline passes; false on time-out.
bool WaitReadable(int fd, Clock::time_point deadline) {
    for (;;) {
        auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        int rc = ::poll(&p, 1, static_cast<int>(left));
        if (rc > 0) return true;
        if (rc < 0 && errno != EINTR) Fail("poll");
    }
}

void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("send");
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

// Content-Length of an HTTP head, or -1 when it has none.
long ContentLength(std::string_view head) {
    size_t pos = 0;
    while ((pos = head.find("\r\n", pos)) != std::string_view::npos) {
        pos += 2;
        constexpr std::string_view name = "content-length:";
        if (head.size() - pos >= name.size() && strncasecmp(head.data() + pos, name.data(), name.size()) == 0)
            return std::strtol(std::string(head.substr(pos + name.size(), 20)).c_str(), nullptr, 10);
    }
    return -1;
}

}  // namespace

std::string ReadHttpMessage(int fd, milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    std::string data;
    size_t headEnd = std::string::npos;
    long bodyLength = -1;
    char chunk[16384];
    for (;;) {
        if (headEnd != std::string::npos && bodyLength >= 0 &&
            data.size() >= headEnd + static_cast<size_t>(bodyLength))
            return data;
        if (!WaitReadable(fd, deadline)) throw std::runtime_error("time-out reading an HTTP message");
        ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("recv");
        }
        if (n == 0) return data;  // end of file ends a message without a length
        data.append(chunk, static_cast<size_t>(n));
        if (headEnd == std::string::npos) {
            size_t blank = data.find("\r\n\r\n");
            if (blank != std::string::npos) {
                headEnd = blank + 4;
                bodyLength = ContentLength(std::string_view(data).substr(0, headEnd));
            }
        }
    }
}

std::string HttpResponse(std::string_view body, int status, std::string_view reason) {
    std::string out =
        "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) +
        "\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " + std::to_string(body.size()) +
        "\r\nConnection: close\r\n\r\n";
    out += body;
    return out;
}

std::string SoapEnvelope(std::string_view bodyXml, std::string_view targetNamespace) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" xmlns:ns1=\"";
    out += targetNamespace;
    out += "\"><SOAP-ENV:Body>";
    out += bodyXml;
    out += "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
    return out;
}

RawPeer::RawPeer() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) Fail("socket");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) < 0 ||
        ::listen(listenFd_, 16) < 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) < 0) {
        ::close(listenFd_);
        Fail("listen on 127.0.0.1");
    }
    port_ = ntohs(addr.sin_port);
}

RawPeer::~RawPeer() {
    ::close(listenFd_);
}

std::string RawPeer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

int RawPeer::Accept(milliseconds timeout) {
    if (!WaitReadable(listenFd_, Clock::now() + timeout)) throw std::runtime_error("no client connected");
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) Fail("accept");
    return fd;
}

std::string RawPeer::Answer(std::string_view response, milliseconds timeout) {
    int fd = Accept(timeout);
    try {
        std::string request = ReadHttpMessage(fd, timeout);
        WriteAll(fd, response);
        ::shutdown(fd, SHUT_WR);
        ::close(fd);
        return request;
    } catch (...) {
        ::close(fd);
        throw;
    }
}

milliseconds RawPeer::Stall(milliseconds hold) {
    int fd = Accept(hold);
    auto start = Clock::now();
    auto deadline = start + hold;
    char chunk[4096];
    // Read and drop whatever comes until the client closes its end.
    while (WaitReadable(fd, deadline)) {
        ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0 && !(n < 0 && errno == EINTR)) break;
    }
    ::close(fd);
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

std::string RawPost(int port, std::string_view request, milliseconds timeout) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) Fail("socket");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    try {
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) < 0) Fail("connect");
        WriteAll(fd, request);
        std::string response = ReadHttpMessage(fd, timeout);
        ::close(fd);
        return response;
    } catch (...) {
        ::close(fd);
        throw;
    }
}

}  // namespace exampeer
