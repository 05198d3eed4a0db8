// The serial link of the virtual reader: a pseudo-terminal whose slave side the
// host opens like a serial port. The simulator keeps the slave open itself, so
// the master never reads EIO while no host has the port open; closing the
// master is how the device vanishes (the Drop fault), after which a fresh pair
// is opened and the symlink moved to it so that the host can reconnect.
//
// The master runs in packet mode: a purge of the host's output (tcflush of
// the slave) arrives as TIOCPKT_FLUSHWRITE, which discards what a reader that
// reads its input late has not read yet.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <thread>

#include "command_framer.h"
#include "fd_util.h"
#include "wire_timing.h"
#include "vazsim/transports.h"

namespace vazsim {

struct PtyTransport::Impl {
    VirtualReader& reader;
    std::string symlinkPath;
    mutable std::mutex pathMutex;
    std::string slavePath;   // published: the symlink already points here
    std::string openedPath;  // the pair just opened
    int master = -1;
    int slave = -1;
    WakeEvent wake;
    bool dropRequested = false;
    CommandFramer framer;
    InputQueue input;  // read from the master, not yet taken by the reader
    WirePacer inbound, outbound;
    std::thread thread;

    Impl(VirtualReader& r, const std::string& link)
        : reader(r),
          symlinkPath(link),
          framer([this] { return reader.inPrintMode(); }, [this](const std::string& c) { onCommand(c); }) {}

    void openPair();
    void closePair() {
        closeFd(master);
        closeFd(slave);
    }
    void publishSymlink();
    void serve();
    void onCommand(const std::string& command);
    bool writeAll(const std::string& bytes);
    bool writePaced(const std::string& bytes);
    bool takeDueInput();
};

void PtyTransport::Impl::openPair() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) throwErrno("posix_openpt");
    char name[128];
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
        closePair();
        throwErrno("pseudo-terminal setup");
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    int packet = 1;
    if (ioctl(master, TIOCPKT, &packet) != 0) {
        closePair();
        throwErrno("TIOCPKT");
    }
    slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        closePair();
        throwErrno(std::string("open ") + name);
    }
    // Raw, so that no byte (CR, LF, XON, XOFF) is translated and nothing echoes
    // back into the master before the host sets its own line settings.
    termios t{};
    if (tcgetattr(slave, &t) == 0) {
        cfmakeraw(&t);
        cfsetispeed(&t, B115200);
        cfsetospeed(&t, B115200);
        tcsetattr(slave, TCSANOW, &t);
    }
    openedPath = name;
}

void PtyTransport::Impl::publishSymlink() {
    if (!symlinkPath.empty()) {
        // Replace atomically: a host reopening the link never finds it missing.
        std::string tmp = symlinkPath + ".new";
        unlink(tmp.c_str());
        if (symlink(openedPath.c_str(), tmp.c_str()) != 0) throwErrno("symlink " + tmp);
        if (rename(tmp.c_str(), symlinkPath.c_str()) != 0) {
            unlink(tmp.c_str());
            throwErrno("rename to " + symlinkPath);
        }
    }
    std::lock_guard lock(pathMutex);
    slavePath = openedPath;
}

bool PtyTransport::Impl::writeAll(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        // The host is not reading: wait for room, or for the end of the transport.
        pollfd fds[2] = {{master, POLLOUT, 0}, {wake.fd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) return false;
        if (fds[1].revents) return false;
    }
    return true;
}

namespace {
const std::chrono::nanoseconds kByteTime{static_cast<long>(1e9 / kSerialBytesPerSecond)};
constexpr size_t kPacedSlice = 16;  // bytes written at once at wire speed (1.5 ms of line)
}  // namespace

// At wire speed each slice is written when its last byte would have crossed
// the line, so the host reads the element's last byte at its wire time.
bool PtyTransport::Impl::writePaced(const std::string& bytes) {
    if (!reader.wireSpeed()) return writeAll(bytes);
    const auto start = WireClock::now();
    for (size_t pos = 0; pos < bytes.size(); pos += kPacedSlice) {
        const size_t n = std::min(kPacedSlice, bytes.size() - pos);
        sleepUntil(outbound.pass(start, kByteTime, n));
        if (!writeAll(bytes.substr(pos, n))) return false;
    }
    return true;
}

void PtyTransport::Impl::onCommand(const std::string& command) {
    if (dropRequested) return;  // the rest of a chunk after a drop is lost with the link
    bool drop = false;
    std::vector<Element> reply = reader.handleCommand(command, Link::Serial, drop);
    dropRequested = drop;  // after what a reader unplugged mid-reply still got out
    // Recorded before writing, so that a host that has read a reply finds it in the trace.
    for (const Element& e : reply) {
        reader.record(Direction::ReaderToHost, Link::Serial, e);
        if (!writePaced(e)) return;
    }
}

// Hands the reader every chunk whose moment has come; a drop reopens the
// pair. False when it cannot be reopened.
bool PtyTransport::Impl::takeDueInput() {
    std::string chunk;
    while (input.popDue(chunk)) {
        reader.record(Direction::HostToReader, Link::Serial, chunk);
        framer.feedSerial(chunk);
        if (!dropRequested) continue;
        dropRequested = false;
        framer.reset();
        input.discard();
        closePair();
        try {
            openPair();
            publishSymlink();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "vazsim: cannot reopen the pseudo-terminal: %s\n", e.what());
            return false;
        }
    }
    return true;
}

void PtyTransport::Impl::serve() {
    char buf[4097];
    for (;;) {
        pollfd fds[2] = {{master, POLLIN, 0}, {wake.fd(), POLLIN, 0}};
        if (input.poll(fds, 2) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0 && !(n < 0 && (errno == EAGAIN || errno == EINTR))) {
                // Cannot happen while the slave is held open; avoid spinning if it does.
                pollfd w{wake.fd(), POLLIN, 0};
                if (poll(&w, 1, 50) > 0) return;
            } else if (n > 0 && buf[0] == TIOCPKT_DATA) {
                if (n > 1) {
                    const size_t bytes = static_cast<size_t>(n - 1);
                    auto due = WireClock::now();
                    if (reader.wireSpeed()) due = inbound.pass(due, kByteTime, bytes);
                    due += std::chrono::milliseconds(reader.inputDelay());
                    input.push(due, std::string(buf + 1, bytes));
                }
            } else if (n > 0 && (buf[0] & TIOCPKT_FLUSHWRITE)) {
                input.discard();  // the host purged what it had sent
            }
        }
        if (!takeDueInput()) return;
    }
}

PtyTransport::PtyTransport(VirtualReader& reader, const std::string& symlinkPath)
    : impl_(std::make_unique<Impl>(reader, symlinkPath)) {
    try {
        impl_->openPair();
        impl_->publishSymlink();
        impl_->thread = std::thread([this] {
            preciseWakeUps();
            impl_->serve();
        });
    } catch (...) {
        impl_->closePair();
        throw;
    }
}

PtyTransport::~PtyTransport() {
    impl_->wake.signal();
    impl_->thread.join();
    impl_->closePair();
    if (!impl_->symlinkPath.empty()) {
        struct stat st {};
        if (lstat(impl_->symlinkPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            unlink(impl_->symlinkPath.c_str());
    }
}

std::string PtyTransport::slavePath() const {
    std::lock_guard lock(impl_->pathMutex);
    return impl_->slavePath;
}

std::string PtyTransport::path() const {
    return impl_->symlinkPath.empty() ? slavePath() : impl_->symlinkPath;
}

}  // namespace vazsim
