// Raw-descriptor hosts for the simulator's tests: a serial host on the
// pseudo-terminal's slave and a HID host on the SEQPACKET socket; the rig of
// a reader with both transports, and the fixture of the serial tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "vazsim/transports.h"
#include "vazsim/virtual_reader.h"

namespace simtest {

// A private folder for this test process (removed at exit).
std::string tempDir();
std::string tempPath(const std::string& name);

class SerialHost {
public:
    // Opens the path as a host would: raw, 115200 8E1, no flow control.
    explicit SerialHost(const std::string& path);
    ~SerialHost();
    SerialHost(const SerialHost&) = delete;
    SerialHost& operator=(const SerialHost&) = delete;

    void write(const std::string& bytes);
    // Exactly n bytes, or fewer when `timeoutMs` passes first.
    std::string read(size_t n, int timeoutMs = 2000);
    // Whatever arrives until the line has been quiet for `quietMs`.
    std::string drain(int quietMs = 150);
    // Sends a command, reads `replyLength` bytes and checks nothing else follows.
    std::string exchange(const std::string& command, size_t replyLength);
    // True when the device side has hung up (POLLHUP or EIO) within the time.
    bool hungUp(int timeoutMs = 2000);
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

class HidHost {
public:
    explicit HidHost(const std::string& socketPath);
    ~HidHost();
    HidHost(const HidHost&) = delete;
    HidHost& operator=(const HidHost&) = delete;

    // Sends the bytes as the library does: 64-byte chunks, one report each.
    void send(const std::string& bytes);
    void sendDatagram(const std::string& datagram);
    // One datagram; "" on time-out; "<eof>" when the reader closed the link.
    std::string receive(int timeoutMs = 2000);
    // The payloads (bytes 1..64) of the next `count` reports.
    std::vector<std::string> receivePayloads(size_t count, int timeoutMs = 2000);
    bool quiet(int ms = 150);  // nothing arrives within ms
    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

// A reader with both transports (pty without a symlink unless asked).
struct Rig {
    explicit Rig(bool symlink = false);
    vazsim::VirtualReader reader;
    std::unique_ptr<vazsim::PtyTransport> pty;
    std::unique_ptr<vazsim::HidSocketTransport> hid;
};

// The fixture of the tests that talk to the reader as a serial host.
class SerialTest : public ::testing::Test {
protected:
    Rig rig;
    SerialHost host{rig.pty->path()};
};

// Downloads a format (start, each command, "EN/") over the serial host and
// returns the statuses the reader answered, concatenated.
std::string downloadFormat(SerialHost& host, const std::vector<std::string>& commands);

std::string hex(const std::string& bytes);

}  // namespace simtest
