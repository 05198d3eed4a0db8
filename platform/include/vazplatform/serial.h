// Serial ports over termios: raw mode, fixed line settings, poll loops for the
// interval / total time-outs, purge by tcflush. A pseudo-terminal is a valid
// port: its missing modem lines (ENOTTY) are not an error.
//
// COM1..COM5 map to paths: VAZ_SERIAL_PORTS (paths separated by ":", first =
// COM1) when set, even when empty; otherwise the system's serial ports in a
// stable order (/dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*).
#pragma once

#include <string>
#include <vector>

namespace vazplat {

// The port paths, read now from the environment (or the system).
std::vector<std::string> SerialPortPaths();
// Path of COM`number` (1-based), "" when there is none.
std::string SerialPortPath(int number);

class SerialFd {
public:
    SerialFd() = default;
    ~SerialFd();
    SerialFd(const SerialFd&) = delete;
    SerialFd& operator=(const SerialFd&) = delete;

    // Opens the path for reading and writing, exclusive (TIOCEXCL where the
    // device has it), non-blocking. False with errno in *err.
    bool Open(const std::string& path, int* err);
    bool IsOpen() const { return fd_ >= 0; }
    void Close();
    int fd() const { return fd_; }

    // Raw mode, `baud` (115200 supported, and the usual rates), parity
    // 'N'/'E'/'O', data bits 5..8, stop bits 1/2, RTS on where the device
    // has modem lines. On failure returns the name of the step that failed
    // ("GetCommState()", "BuildCommDCB()", "SetCommState()") and sets *err.
    const char* Configure(int baud, char parity, int dataBits, int stopBits, int* err);
    // Discards unread input and unsent output (when the port is opened).
    void Purge();
    // Discards unread input only; bytes written earlier still go out.
    void PurgeInput();
    // Writes n bytes and waits until they have left the host (the output
    // queue empty), all within totalMs. Returns the bytes written (fewer, or
    // with some still queued, when totalMs expired: *err is then ETIMEDOUT);
    // -1 on a system error (*err), which includes a hang-up.
    int Write(const unsigned char* bytes, int n, int totalMs, int* err);
    // Reads up to n bytes: at most totalMs in all and intervalMs between two
    // bytes (counted from the first byte on). Returns the bytes read (fewer
    // when a time-out expired). A system error ends the read with *err set
    // (0 otherwise); a hang-up ends it with *hangup set.
    int Read(unsigned char* dest, int n, int intervalMs, int totalMs, int* err, bool* hangup);

private:
    int fd_ = -1;
};

}  // namespace vazplat
