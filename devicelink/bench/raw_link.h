// The raw side of the libvaz benchmarks: the same links as the library's,
// driven by bare loops on plain descriptors.
#pragma once

#include <cstddef>
#include <string>

namespace vazbench {

// Opens a pseudo-terminal's slave raw (no line discipline); -1 on failure.
int OpenRawPty(const std::string& path);
// Connects to a virtual HID socket; -1 on failure.
int ConnectRawHid(const std::string& socketPath);
// Waits up to 2000 ms for something to read.
bool WaitReadable(int fd);
// Reads exactly n bytes (each within the 2000 ms wait); false otherwise.
bool ReadExactly(int fd, char* buf, std::size_t n);

}  // namespace vazbench
