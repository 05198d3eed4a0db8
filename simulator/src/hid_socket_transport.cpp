// The virtual HID device: an AF_UNIX SOCK_SEQPACKET socket on which every
// datagram is one 65-byte report. One host at a time; a new connection
// replaces the old one (the library closes and reopens the device).
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "command_framer.h"
#include "fd_util.h"
#include "wire_timing.h"
#include "vazsim/transports.h"

namespace vazsim {

struct HidSocketTransport::Impl {
    VirtualReader& reader;
    std::string path;
    int listener = -1;
    int conn = -1;
    WakeEvent wake;
    bool dropRequested = false;
    CommandFramer framer;
    InputQueue input;  // reports received, not yet taken by the reader
    WirePacer inbound, outbound;
    std::thread thread;

    Impl(VirtualReader& r, const std::string& p)
        : reader(r),
          path(p),
          framer([this] { return reader.inPrintMode(); }, [this](const std::string& c) { onCommand(c); }) {}

    void listen();
    void serve();
    void onCommand(const std::string& command);
    void sendReply(const std::vector<Element>& reply);
    bool sendReport(const std::string& report);
    void takeDueInput();
    void closeConnection() {
        closeFd(conn);
        framer.reset();
        input.discard();
    }
};

void HidSocketTransport::Impl::listen() {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path)
        throw std::invalid_argument("HID socket path empty or too long: " + path);
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) throw std::invalid_argument(path + " exists and is not a socket");
        unlink(path.c_str());
    }
    listener = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener < 0) throwErrno("socket");
    if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listener, 4) != 0) {
        int e = errno;
        closeFd(listener);
        errno = e;
        throwErrno("bind/listen " + path);
    }
}

bool HidSocketTransport::Impl::sendReport(const std::string& report) {
    for (;;) {
        if (send(conn, report.data(), report.size(), MSG_NOSIGNAL | MSG_DONTWAIT) >= 0) return true;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            closeConnection();  // the host went away
            return false;
        }
        // The host is slow to read: wait for room. A new host connecting or the
        // transport ending gives the rest of this reply up.
        pollfd fds[3] = {{conn, POLLOUT, 0}, {wake.fd(), POLLIN, 0}, {listener, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0 && errno != EINTR) return false;
        if (fds[1].revents || fds[2].revents) return false;
        if (fds[0].revents & (POLLHUP | POLLERR)) {
            closeConnection();
            return false;
        }
    }
}

void HidSocketTransport::Impl::onCommand(const std::string& command) {
    if (dropRequested || conn < 0) return;
    bool drop = false;
    std::vector<Element> reply = reader.handleCommand(command, Link::Hid, drop);
    sendReply(reply);  // what a reader unplugged mid-reply still got out
    if (drop) dropRequested = true;
}

namespace {
constexpr std::chrono::nanoseconds kReportTime{static_cast<long>(1e9 / kUsbReportsPerSecond)};
}  // namespace

void HidSocketTransport::Impl::sendReply(const std::vector<Element>& reply) {
    const bool paced = reader.wireSpeed();
    // The reports of one reply follow each other frame by frame: a late wake
    // of this thread does not push the later ones back.
    const auto ready = WireClock::now();
    for (const Element& e : reply)
        for (const std::string& r : reportsFor(e)) {
            if (paced) sleepUntil(outbound.pass(ready, kReportTime, 1));
            // Recorded before sending, so that a host that has read a report finds it in the trace.
            reader.record(Direction::ReaderToHost, Link::Hid, r);
            if (!sendReport(r)) return;
        }
}

void HidSocketTransport::Impl::serve() {
    char buf[512];
    for (;;) {
        pollfd fds[3] = {{wake.fd(), POLLIN, 0}, {listener, POLLIN, 0}, {conn, POLLIN, 0}};
        if (input.poll(fds, conn >= 0 ? 3 : 2) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[0].revents) return;
        takeDueInput();
        if (fds[1].revents & POLLIN) {
            int c = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (c >= 0) {
                closeConnection();
                conn = c;
            }
            continue;  // fds[2] may describe the connection just replaced
        }
        if (conn < 0 || !fds[2].revents) continue;
        ssize_t n = recv(conn, buf, sizeof buf, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) {  // end of file or reset: the host closed the device
            closeConnection();
            continue;
        }
        auto due = WireClock::now();
        if (reader.wireSpeed()) due = inbound.pass(due, kReportTime, 1);
        due += std::chrono::milliseconds(reader.inputDelay());
        input.push(due, std::string(buf, static_cast<size_t>(n)));
        takeDueInput();
    }
}

void HidSocketTransport::Impl::takeDueInput() {
    std::string datagram;
    while (conn >= 0 && input.popDue(datagram)) {
        reader.record(Direction::HostToReader, Link::Hid, datagram);
        // In the update mode a report is a piece of a block packet, not command text.
        if (reader.inUpdateMode())
            sendReply(reader.handleUpdateReport(datagram));
        else
            framer.feedReport(datagram);
        if (dropRequested) {
            dropRequested = false;
            closeConnection();
        }
    }
}

HidSocketTransport::HidSocketTransport(VirtualReader& reader, const std::string& socketPath)
    : impl_(std::make_unique<Impl>(reader, socketPath)) {
    try {
        impl_->listen();
        impl_->thread = std::thread([this] {
            preciseWakeUps();
            impl_->serve();
        });
    } catch (...) {
        closeFd(impl_->listener);
        throw;
    }
}

HidSocketTransport::~HidSocketTransport() {
    impl_->wake.signal();
    impl_->thread.join();
    closeFd(impl_->conn);
    closeFd(impl_->listener);
    unlink(impl_->path.c_str());
}

std::string HidSocketTransport::path() const {
    return impl_->path;
}

}  // namespace vazsim
