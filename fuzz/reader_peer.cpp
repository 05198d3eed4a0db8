#include "reader_peer.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "command_framer.h"

namespace vazfuzz {

namespace {

// How long the library may stay silent before the next reply goes out (or
// the peer hangs up). Every wait of the library's is far longer.
constexpr int kPauseMs = 5;

void Fatal(const char* what) {
    std::perror(what);
    std::abort();
}

void SetNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

}  // namespace

std::vector<Reply> ParseReplies(const uint8_t* data, size_t size) {
    std::vector<Reply> replies;
    size_t pos = 0;
    while (pos < size) {
        const uint8_t head = data[pos++];
        const size_t n = head & 0x7F;
        if (pos + n > size) break;
        if (!(head & 0x80) || replies.empty()) replies.emplace_back();
        replies.back().elements.emplace_back(reinterpret_cast<const char*>(data + pos), n);
        pos += n;
    }
    return replies;
}

ReaderPeer::ReaderPeer(const std::string& folder) {
    const std::string path = folder + "/hid.sock";
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) Fatal("socket path");
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    listenFd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 8) != 0)
        Fatal("virtual HID socket");
    SetNonBlocking(listenFd_);
    setenv("VAZ_HID_DEVICES", path.c_str(), 1);
    setenv("VAZ_SERIAL_PORTS", "", 1);
}

ReaderPeer::~ReaderPeer() {
    End();
    ::close(listenFd_);
}

void ReaderPeer::Begin(PeerLink link, std::vector<Reply> replies) {
    End();
    link_ = link;
    replies_ = std::move(replies);
    next_ = 0;
    printMode_ = false;
    stop_ = false;
    if (link == PeerLink::Serial) {
        ptyMaster_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (ptyMaster_ < 0 || grantpt(ptyMaster_) != 0 || unlockpt(ptyMaster_) != 0) Fatal("pseudo-terminal");
        SetNonBlocking(ptyMaster_);
        setenv("VAZ_SERIAL_PORTS", ptsname(ptyMaster_), 1);
        thread_ = std::thread([this] { ServeSerial(); });
    } else {
        thread_ = std::thread([this] { ServeHid(); });
    }
}

void ReaderPeer::End() {
    if (!thread_.joinable()) return;
    stop_ = true;
    thread_.join();
    if (ptyMaster_ >= 0) ::close(ptyMaster_);
    ptyMaster_ = -1;
    // Connections the library made after the end belong to no session.
    for (int c; (c = ::accept(listenFd_, nullptr, nullptr)) >= 0;) ::close(c);
}

void ReaderPeer::Send(int fd, const Reply& reply) {
    if (link_ == PeerLink::Hid) {
        for (const std::string& e : reply.elements)
            for (const std::string& report : vazsim::reportsFor(e))
                if (::send(fd, report.data(), report.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0) return;
        return;
    }
    std::string bytes;
    for (const std::string& e : reply.elements) bytes += e;
    if (!bytes.empty() && ::write(fd, bytes.data(), bytes.size()) < 0) return;  // a full queue drops the rest
}

bool ReaderPeer::Answer(int fd) {
    if (next_ >= replies_.size()) return false;
    Send(fd, replies_[next_++]);
    return true;
}

void ReaderPeer::ServeHid() {
    int conn = -1;
    bool hangUp = false;
    vazsim::CommandFramer framer([this] { return printMode_; }, [&](const std::string& command) {
        if (command == "t/") printMode_ = true;
        if (printMode_ && command.find('\x18') != std::string::npos) printMode_ = false;
        if (!hangUp && !Answer(conn)) hangUp = true;
    });
    while (!stop_) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {conn, POLLIN, 0}};
        const int r = ::poll(fds, conn >= 0 ? 2 : 1, kPauseMs);
        if (r < 0) continue;
        if (fds[0].revents & POLLIN) {
            const int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (c >= 0) {  // the library opened the device again (recovery, VazInit)
                if (conn >= 0) ::close(conn);
                conn = c;
                framer.reset();
            }
            continue;
        }
        if (conn < 0) continue;
        if (r == 0) {
            if (!Answer(conn)) hangUp = true;
        } else if (fds[1].revents & POLLIN) {
            char report[vazsim::kReportSize + 1];
            const ssize_t n = ::recv(conn, report, sizeof report, 0);
            if (n <= 0) hangUp = true;
            else framer.feedReport(std::string_view(report, static_cast<size_t>(n)));
        } else {
            hangUp = true;
        }
        if (hangUp) {  // reports already sent stay readable
            ::close(conn);
            conn = -1;
            hangUp = false;
        }
    }
    if (conn >= 0) ::close(conn);
}

void ReaderPeer::ServeSerial() {
    bool hangUp = false;
    vazsim::CommandFramer framer([this] { return printMode_; }, [&](const std::string& command) {
        if (command == "t/") printMode_ = true;
        if (printMode_ && command.find('\x18') != std::string::npos) printMode_ = false;
        if (!hangUp && !Answer(ptyMaster_)) hangUp = true;
    });
    while (!stop_ && !hangUp) {
        pollfd fd{ptyMaster_, POLLIN, 0};
        const int r = ::poll(&fd, 1, kPauseMs);
        if (r < 0) continue;
        if (r == 0) {
            if (!Answer(ptyMaster_)) hangUp = true;
        } else if (fd.revents & POLLIN) {
            char bytes[512];
            const ssize_t n = ::read(ptyMaster_, bytes, sizeof bytes);
            if (n > 0) framer.feedSerial(std::string_view(bytes, static_cast<size_t>(n)));
            else ::usleep(1000);
        } else {
            ::usleep(1000);  // the library has not opened its end (yet)
        }
    }
    if (hangUp) {  // the library's next read sees the hang-up at once
        ::close(ptyMaster_);
        ptyMaster_ = -1;
        while (!stop_) ::usleep(1000);
    }
}

}  // namespace vazfuzz
