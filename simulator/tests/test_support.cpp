#include "test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace simtest {

namespace {

long long nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int pollIn(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) > 0 ? p.revents : 0;
}

}  // namespace

std::string tempDir() {
    static const std::string dir = [] {
        char tmpl[] = "/tmp/vazsim-test-XXXXXX";
        if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp");
        static struct Cleaner {
            std::string path;
            ~Cleaner() {
                std::error_code ec;
                std::filesystem::remove_all(path, ec);
            }
        } cleaner{tmpl};
        return std::string(tmpl);
    }();
    return dir;
}

std::string tempPath(const std::string& name) {
    static int n = 0;
    return tempDir() + "/" + std::to_string(++n) + "_" + name;
}

SerialHost::SerialHost(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error("open " + path + ": " + std::strerror(errno));
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    t.c_cflag |= PARENB | CLOCAL | CREAD;
    t.c_cflag &= ~(PARODD | CSTOPB | CRTSCTS);
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    tcsetattr(fd_, TCSANOW, &t);
}

SerialHost::~SerialHost() {
    if (fd_ >= 0) close(fd_);
}

void SerialHost::write(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) throw std::runtime_error("serial write failed");
        done += static_cast<size_t>(n);
    }
}

std::string SerialHost::read(size_t n, int timeoutMs) {
    std::string out;
    const long long end = nowMs() + timeoutMs;
    while (out.size() < n) {
        long long left = end - nowMs();
        if (left <= 0 || !(pollIn(fd_, static_cast<int>(left)) & POLLIN)) break;
        char buf[4096];
        ssize_t got = ::read(fd_, buf, std::min(sizeof buf, n - out.size()));
        if (got <= 0) break;
        out.append(buf, static_cast<size_t>(got));
    }
    return out;
}

std::string SerialHost::drain(int quietMs) {
    std::string out;
    while (pollIn(fd_, quietMs) & POLLIN) {
        char buf[4096];
        ssize_t got = ::read(fd_, buf, sizeof buf);
        if (got <= 0) break;
        out.append(buf, static_cast<size_t>(got));
    }
    return out;
}

std::string SerialHost::exchange(const std::string& command, size_t replyLength) {
    write(command);
    std::string reply = read(replyLength);
    reply += drain(60);
    return reply;
}

bool SerialHost::hungUp(int timeoutMs) {
    const long long end = nowMs() + timeoutMs;
    while (nowMs() < end) {
        int ev = pollIn(fd_, static_cast<int>(end - nowMs()));
        if (ev & (POLLHUP | POLLERR)) return true;
        if (ev & POLLIN) {
            char buf[256];
            if (::read(fd_, buf, sizeof buf) < 0 && errno == EIO) return true;
        }
    }
    return false;
}

HidHost::HidHost(const std::string& socketPath) {
    fd_ = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socketPath.c_str());
    if (fd_ < 0 || connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        throw std::runtime_error("connect " + socketPath + ": " + std::strerror(errno));
}

HidHost::~HidHost() {
    if (fd_ >= 0) close(fd_);
}

void HidHost::sendDatagram(const std::string& datagram) {
    if (::send(fd_, datagram.data(), datagram.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(datagram.size()))
        throw std::runtime_error("HID send failed");
}

void HidHost::send(const std::string& bytes) {
    for (size_t pos = 0; pos < bytes.size(); pos += 64) {
        std::string report(65, '\0');
        bytes.copy(report.data() + 1, 64, pos);
        sendDatagram(report);
    }
}

std::string HidHost::receive(int timeoutMs) {
    if (!(pollIn(fd_, timeoutMs) & (POLLIN | POLLHUP))) return "";
    char buf[512];
    ssize_t n = recv(fd_, buf, sizeof buf, 0);
    if (n <= 0) return "<eof>";
    return std::string(buf, static_cast<size_t>(n));
}

std::vector<std::string> HidHost::receivePayloads(size_t count, int timeoutMs) {
    std::vector<std::string> out;
    for (size_t i = 0; i < count; ++i) {
        std::string d = receive(timeoutMs);
        if (d.size() != 65) break;
        out.push_back(d.substr(1));
    }
    return out;
}

bool HidHost::quiet(int ms) {
    return receive(ms).empty();
}

Rig::Rig(bool symlink) {
    pty = std::make_unique<vazsim::PtyTransport>(reader, symlink ? tempPath("tty") : "");
    hid = std::make_unique<vazsim::HidSocketTransport>(reader, tempPath("hid.sock"));
}

std::string downloadFormat(SerialHost& host, const std::vector<std::string>& commands) {
    std::string statuses = host.exchange("S a.txt/", 2);
    for (const std::string& c : commands) statuses += host.exchange(c, 2);
    return statuses + host.exchange("EN/", 2);
}

std::string hex(const std::string& bytes) {
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%02X ", c);
        out += b;
    }
    return out;
}

}  // namespace simtest
