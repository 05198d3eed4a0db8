// Transports of the virtual reader: a pseudo-terminal (serial link) and an
// AF_UNIX SOCK_SEQPACKET socket that speaks one 65-byte HID report per
// datagram (virtual HID device). Each serves one VirtualReader from its own
// thread until destroyed.
#pragma once

#include <memory>
#include <string>

#include "vazsim/virtual_reader.h"

namespace vazsim {

class PtyTransport {
public:
    // Opens a pseudo-terminal pair. When `symlinkPath` is not empty, the slave
    // path is published as a symlink there (replacing an old one).
    explicit PtyTransport(VirtualReader& reader, const std::string& symlinkPath = "");
    ~PtyTransport();
    PtyTransport(const PtyTransport&) = delete;
    PtyTransport& operator=(const PtyTransport&) = delete;

    std::string slavePath() const;  // e.g. /dev/pts/7
    std::string path() const;       // the symlink if any, else the slave path

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class HidSocketTransport {
public:
    // Listens on `socketPath` (an old socket file there is removed first) and
    // serves one host connection at a time.
    HidSocketTransport(VirtualReader& reader, const std::string& socketPath);
    ~HidSocketTransport();
    HidSocketTransport(const HidSocketTransport&) = delete;
    HidSocketTransport& operator=(const HidSocketTransport&) = delete;

    std::string path() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vazsim
