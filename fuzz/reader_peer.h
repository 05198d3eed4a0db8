// The reader's end of one link, answering the library's commands with
// replies taken from a fuzz input instead of a reader's logic.
//
// The replies are records: a byte H, then H & 0x7F bytes. A record with
// H & 0x80 clear starts a reply, one with it set belongs to the reply before
// it. On the virtual HID link every record is one reply element (its own
// reports); on the serial link the records' bytes follow each other.
//
// Each command the library finishes (cut by the virtual reader's framer) is
// answered with the next reply. When the library waits and sends nothing for
// a while, the next reply goes out anyway (a reader that answers late or in
// pieces); when the replies are used up, the peer hangs up, as an unplugged
// reader does. Nothing waits longer than that pause.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace vazfuzz {

enum class PeerLink { Hid, Serial };

struct Reply {
    std::vector<std::string> elements;
};

// Splits the records of `data` into replies (a cut-off record is dropped).
std::vector<Reply> ParseReplies(const uint8_t* data, size_t size);

class ReaderPeer {
public:
    // Where the library finds the peers: VAZ_HID_DEVICES names a socket in
    // `folder`; VAZ_SERIAL_PORTS names each session's pseudo-terminal.
    explicit ReaderPeer(const std::string& folder);
    ~ReaderPeer();

    // Serves `replies` on `link` until End().
    void Begin(PeerLink link, std::vector<Reply> replies);
    void End();

private:
    void ServeHid();
    void ServeSerial();
    // Answers one event on the link; false once the peer has hung up.
    bool Answer(int fd);
    void Send(int fd, const Reply& reply);

    int listenFd_ = -1;
    PeerLink link_ = PeerLink::Hid;
    std::vector<Reply> replies_;
    size_t next_ = 0;
    bool printMode_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    int ptyMaster_ = -1;
};

}  // namespace vazfuzz
