// The text commands of the update dialog: the console's raw command, the
// version write "V text/" (one reply, "E..." on success) and the version read
// "v/" (the version text and one more character, then "E..." on success).
// Every reply is waited for at most kReplyTimeoutMs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "usb_link.h"

namespace firmware {

constexpr int kReplyTimeoutMs = 2000;

enum class CommandResult {
    Done,
    NotOpen,      // no reader open
    Empty,        // nothing to send
    TooLong,      // does not fit one output report
    BadText,      // a character beyond 8 bits, or a "/" inside a version text
    SendFailed,   // the report could not be written (or the reader has gone)
    NoReply,      // a reply did not come within the bound
    NotConfirmed  // the reply did not begin with "E"
};

// A typed text as report bytes: each character's 8 bits; nothing when a
// character does not fit into 8 bits.
std::optional<std::string> EightBitText(std::u16string_view text);

CommandResult SendConsoleCommand(UsbLink* link, std::u16string_view command);
CommandResult WriteVersion(UsbLink* link, std::u16string_view version);
// *version: the text read, without its last character.
CommandResult ReadVersion(UsbLink* link, std::string* version);

}  // namespace firmware
