// The virtual reader: the reader's side of the command protocol, without any
// transport. Transports (pseudo-terminal, virtual HID socket) feed it the bytes
// the host wrote and send back the reply elements it produces.
//
// Thread-safe: every public member may be called from any thread while a
// transport thread is serving the host. Destroy the transports before the reader.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "vazsim/card_deck.h"

namespace vazsim {

enum class Link { Serial, Hid };
enum class Direction { HostToReader, ReaderToHost };

// One recorded transfer. On the HID link every entry is one whole datagram
// (65 bytes: report ID 0 and 64 payload bytes); on the serial link one entry
// is one chunk as it was read from or written to the pseudo-terminal.
struct TraceEntry {
    Direction direction;
    Link link;
    std::string bytes;
};

// A fault the reader plays instead of its normal answer to a command.
struct Fault {
    enum class Kind {
        No,         // answer "NO"
        Code,       // answer the two-digit status in `code`
        Garbled,    // answer `bytes` (default "E\0") where a status belongs
        Silent,     // answer nothing at all
        Stale,      // write `bytes` before the normal answer (unrequested bytes)
        Drop,       // close the link instead of answering
        LieLength,  // length fields announce `lengthDelta` more (or fewer) bytes than are sent
        Stop,       // send the first `stopAfter` bytes of the normal answer, then fall silent
        Unplug,     // send the first `stopAfter` bytes of the normal answer, then close the link
    };
    Kind kind = Kind::No;
    int times = 1;           // number of matching commands it applies to; -1 = until cleared
    bool untilCard = false;  // Kind::No only: answer "NO" until a card is added to the hopper
    std::string code;        // Kind::Code
    std::string bytes;       // Kind::Garbled, Kind::Stale
    int lengthDelta = 0;     // Kind::LieLength
    int stopAfter = 0;       // Kind::Stop, Kind::Unplug
};

// Wire speed of the links: USB full speed carries one 64-byte report per
// millisecond each way; the serial line 115200 baud 8E1, 11 bits a byte.
inline constexpr double kUsbReportsPerSecond = 1000.0;
inline constexpr double kSerialBytesPerSecond = 115200.0 / 11.0;  // 10,472.7

// A fault of the firmware update mode, tied to one packet of a transfer
// (1 = the first; counted on past block byte 255).
struct UpdateFault {
    enum class Kind {
        Nak,     // answer NAK to the packet's CRC although it is right
        Silent,  // answer nothing from the packet's header on, until the next "IAP/"
        Cancel,  // answer the packet's header with CAN and leave the update mode
        Slow,    // take `delayMs` before answering the packet's CRC (writing the block)
    };
    Kind kind = Kind::Nak;
    int block = 1;
    int times = 1;  // packets (the same block sent again counts anew); -1 = every time
    int delayMs = 0;
};

// One reply element. Each element is sent separately: on the HID link it
// starts a new report (and spans several when longer than 64 bytes).
using Element = std::string;

class VirtualReader {
public:
    VirtualReader();
    ~VirtualReader();
    VirtualReader(const VirtualReader&) = delete;
    VirtualReader& operator=(const VirtualReader&) = delete;

    // ---- identity and counters -------------------------------------------
    void setModel(const std::string& identification);  // reply of "v/" without the final "/"
    std::string model() const;
    void setCardCounter(uint32_t count);  // reply of "N/" (4 bytes, LSB first)
    uint32_t cardCounter() const;

    // Whether "R/" and "/" are answered by a second status (the reader's read
    // mode 0). "L 1/" turns it off and "L 0/" on; tests that run the library
    // in read mode 1 turn it off here.
    void setSecondStatusAfterRead(bool on);
    bool secondStatusAfterRead() const;

    // ---- timing of the links -------------------------------------------------
    // A reader that reads its input late takes every chunk (serial) or
    // report (USB) `ms` after it arrived; until then a serial chunk is still
    // on its way, where the host's purge of its output discards it, as a
    // USB-serial adapter's transmit buffer does. 0 (the default): at once.
    void setInputDelay(int ms);
    int inputDelay() const;
    // At wire speed both directions are paced as the real links are
    // (kUsbReportsPerSecond, kSerialBytesPerSecond); off by default.
    void setWireSpeed(bool on);
    bool wireSpeed() const;

    // ---- fault injection --------------------------------------------------
    // The fault applies to commands whose text starts with `commandPrefix`
    // ("" matches every command). Faults are tried in the order added.
    void injectFault(const std::string& commandPrefix, const Fault& fault);
    void clearFaults();

    // ---- cards and formats ------------------------------------------------
    // Sheets are fed from the front of the hopper by "R/", "/" and "I 2".
    // Adding cards also ends every "NO until a card is added" fault.
    void addCard(const Sheet& sheet);
    void addCards(const std::vector<Sheet>& sheets);
    void loadDeck(const Deck& deck) { addCards(deck.sheets); }
    size_t hopperSize() const;
    void clearHopper();
    // The sheet read last (its data answers "r", "I 2", "I 3", "I 6", "I 7").
    std::optional<Sheet> lastCard() const;

    // Format download: the commands the reader accepted in the last complete
    // download (empty without a format).
    bool hasFormat() const;
    std::vector<std::string> formatCommands() const;
    // Refuse a format command with `code`: the first one starting with
    // `prefix`, or the one at `index` (0 = the first command after the start).
    void refuseFormatCommand(const std::string& prefix, const std::string& code = "06");
    void refuseFormatCommandAt(int index, const std::string& code = "06");
    void clearFormatRefusals();

    // ---- sensors ----------------------------------------------------------
    // Noise (+-amplitude) on every sensor value; 1 by default. The unsteady
    // head (index into the 100-byte "I 4/" block: 0 = D, 1 = S, 2..49 =
    // channels 1..48 of side A, 50..99 the same of side B; -1 = none) gets
    // +-`amplitude` instead; on curves indexes 0..49 count.
    void setNoise(int amplitude);
    void setUnsteadyHead(int index, int amplitude = 12);
    void setSeed(uint32_t seed);

    // Print settings text answered by "X 2/" ("NO 00001 SC 0" at start).
    std::string printSettings() const;
    // Everything received as print pieces (without their 0x04), the initial
    // 0x1B 0x63 0x00 and the leaving 0x18 excepted; the last 64 KiB are kept.
    std::string printedText() const;

    // ---- the protocol -----------------------------------------------------
    // Called by a transport with the command the host sent (the bytes up to
    // and including its "/" or, in print mode, its 0x04). Returns the reply
    // elements in order; an empty list means "no answer".
    // `dropLink` is set when the link is to be closed once the elements (none
    // for Kind::Drop) have been sent.
    std::vector<Element> handleCommand(const std::string& command, Link link, bool& dropLink);

    // Whether the reader expects print pieces (ended by 0x04) rather than
    // commands ended by "/".
    bool inPrintMode() const;

    // ---- firmware update mode ---------------------------------------------
    // "IAP/" on the HID link switches the reader into its update mode (see
    // update_mode.h); "V text/" sets the text "v/" answers. While the mode is
    // on, a transport hands every report to handleUpdateReport instead of
    // cutting commands; the elements returned are control bytes.
    bool inUpdateMode() const;
    std::vector<Element> handleUpdateReport(const std::string& datagram);
    void injectUpdateFault(const UpdateFault& fault);
    void clearUpdateFaults();
    // Where the image of a completed transfer is written (none by default).
    void setFirmwareOut(const std::string& path);
    // The blocks of the last transfer that ended with 0x04, fill bytes included.
    std::optional<std::string> firmwareImage() const;

    // ---- recording --------------------------------------------------------
    void record(Direction direction, Link link, const std::string& bytes);
    std::vector<TraceEntry> trace() const;
    void clearTrace();
    // Convenience views of the trace: concatenated bytes (serial), or the
    // datagrams (HID), in one direction.
    std::string serialBytes(Direction direction) const;
    std::vector<std::string> hidReports(Direction direction) const;
    // Every command the reader received, in order, as it was parsed.
    std::vector<std::string> commands() const;
    // Called (from the transport's thread) for every recorded transfer.
    void setTraceListener(std::function<void(const TraceEntry&)> listener);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace vazsim
