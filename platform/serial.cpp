#include "vazplatform/serial.h"

#include <errno.h>
#include <fcntl.h>
#include <glob.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

namespace vazplat {

namespace {

int64_t NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Natural order within one pattern: ttyS2 before ttyS10.
std::vector<std::string> Glob(const char* pattern) {
    std::vector<std::string> out;
    glob_t g{};
    if (glob(pattern, 0, nullptr, &g) == 0)
        for (size_t i = 0; i < g.gl_pathc; ++i) out.push_back(g.gl_pathv[i]);
    globfree(&g);
    std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return out;
}

speed_t BaudConstant(int baud) {
    switch (baud) {
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
        default: return 0;
    }
}

}  // namespace

std::vector<std::string> SerialPortPaths() {
    std::vector<std::string> paths;
    if (const char* env = getenv("VAZ_SERIAL_PORTS")) {
        std::string all = env;
        size_t start = 0;
        while (start < all.size()) {
            size_t end = all.find(':', start);
            if (end == std::string::npos) end = all.size();
            // An empty entry keeps its COM number (no port there).
            paths.push_back(all.substr(start, end - start));
            start = end + 1;
        }
        return paths;
    }
    for (const char* pattern : {"/dev/ttyUSB*", "/dev/ttyACM*", "/dev/ttyS*"})
        for (auto& p : Glob(pattern)) paths.push_back(p);
    return paths;
}

std::string SerialPortPath(int number) {
    std::vector<std::string> paths = SerialPortPaths();
    if (number < 1 || number > static_cast<int>(paths.size())) return "";
    return paths[static_cast<size_t>(number - 1)];
}

SerialFd::~SerialFd() { Close(); }

void SerialFd::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool SerialFd::Open(const std::string& path, int* err) {
    Close();
    if (path.empty()) {
        if (err) *err = ENOENT;
        return false;
    }
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (err) *err = errno;
        return false;
    }
    if (!isatty(fd)) {
        if (err) *err = ENOTTY;
        ::close(fd);
        return false;
    }
    // No sharing: other openers (without privilege) get EBUSY.
    ioctl(fd, TIOCEXCL);
    fd_ = fd;
    return true;
}

const char* SerialFd::Configure(int baud, char parity, int dataBits, int stopBits, int* err) {
    termios t{};
    if (tcgetattr(fd_, &t) != 0) {
        if (err) *err = errno;
        return "GetCommState()";
    }
    cfmakeraw(&t);
    speed_t speed = BaudConstant(baud);
    if (speed == 0 || cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0) {
        if (err) *err = EINVAL;
        return "BuildCommDCB()";
    }
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    switch (dataBits) {
        case 5: t.c_cflag |= CS5; break;
        case 6: t.c_cflag |= CS6; break;
        case 7: t.c_cflag |= CS7; break;
        default: t.c_cflag |= CS8; break;
    }
    if (parity == 'E' || parity == 'e') t.c_cflag |= PARENB;
    if (parity == 'O' || parity == 'o') t.c_cflag |= PARENB | PARODD;
    if (stopBits == 2) t.c_cflag |= CSTOPB;
    t.c_cflag |= CLOCAL | CREAD;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (tcsetattr(fd_, TCSANOW, &t) != 0) {
        if (err) *err = errno;
        return "SetCommState()";
    }
    // RTS on. A pseudo-terminal has no modem lines (ENOTTY/EINVAL): carry on.
    int bits = TIOCM_RTS;
    ioctl(fd_, TIOCMBIS, &bits);
    return nullptr;
}

void SerialFd::Purge() {
    if (fd_ >= 0) tcflush(fd_, TCIOFLUSH);
}

void SerialFd::PurgeInput() {
    if (fd_ >= 0) tcflush(fd_, TCIFLUSH);
}

namespace {
// Waits until the output queue is empty or the deadline passes. tcdrain has
// no time-out, so the queue is polled (TIOCOUTQ) at about the time its
// bytes need at 115200 baud, at least every millisecond.
bool DrainUntil(int fd, int64_t deadline) {
    for (;;) {
        int queued = 0;
        if (ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0) return true;
        const int64_t left = deadline - NowMs();
        if (left <= 0) return false;
        const int64_t pause = std::clamp<int64_t>(queued / 12, 1, left);  // ~11.5 bytes per ms
        timespec ts{static_cast<time_t>(pause / 1000), static_cast<long>(pause % 1000) * 1000000};
        nanosleep(&ts, nullptr);
    }
}
}  // namespace

int SerialFd::Write(const unsigned char* bytes, int n, int totalMs, int* err) {
    if (err) *err = 0;
    if (fd_ < 0) {
        if (err) *err = EBADF;
        return -1;
    }
    int done = 0;
    const int64_t deadline = NowMs() + totalMs;
    while (done < n) {
        ssize_t w = ::write(fd_, bytes + done, static_cast<size_t>(n - done));
        if (w > 0) {
            done += static_cast<int>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno != EAGAIN) {
            if (err) *err = errno;
            return -1;
        }
        int64_t left = deadline - NowMs();
        if (left <= 0) break;
        pollfd p{fd_, POLLOUT, 0};
        int r = ::poll(&p, 1, static_cast<int>(left));
        if (r < 0 && errno != EINTR) {
            if (err) *err = errno;
            return -1;
        }
        if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLOUT)) {
            if (err) *err = EIO;
            return -1;
        }
    }
    if ((done < n || !DrainUntil(fd_, deadline)) && err) *err = ETIMEDOUT;
    return done;
}

int SerialFd::Read(unsigned char* dest, int n, int intervalMs, int totalMs, int* err, bool* hangup) {
    if (err) *err = 0;
    if (hangup) *hangup = false;
    if (fd_ < 0) {
        if (err) *err = EBADF;
        return 0;
    }
    int got = 0;
    const int64_t deadline = NowMs() + totalMs;
    int64_t lastByte = 0;
    while (got < n) {
        int64_t now = NowMs();
        int64_t wait = deadline - now;
        if (got > 0) wait = std::min<int64_t>(wait, lastByte + intervalMs - now);
        if (wait <= 0) break;
        pollfd p{fd_, POLLIN, 0};
        int r = ::poll(&p, 1, static_cast<int>(wait));
        if (r < 0) {
            if (errno == EINTR) continue;
            if (err) *err = errno;
            break;
        }
        if (r == 0) break;
        if (!(p.revents & POLLIN)) {
            if (hangup) *hangup = true;
            break;
        }
        ssize_t rd = ::read(fd_, dest + got, static_cast<size_t>(n - got));
        if (rd > 0) {
            got += static_cast<int>(rd);
            lastByte = NowMs();
            continue;
        }
        if (rd == 0 || errno == EIO) {  // the other side of a pseudo-terminal is gone
            if (hangup) *hangup = true;
            break;
        }
        if (errno == EINTR || errno == EAGAIN) continue;
        if (err) *err = errno;
        break;
    }
    return got;
}

}  // namespace vazplat
