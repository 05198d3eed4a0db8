// The library's message boxes, caught through the host hook so that vazctl
// never blocks on a dialog: every box is answered at once (OK, or Yes for a
// question) and kept for the report.
#pragma once

#include <string>
#include <vector>

namespace vazctl {

struct LibraryMessage {
    std::string caption;  // code page 936, as the library gave it
    std::string text;
};

// Messages shown since the last call, oldest first; the list is emptied.
std::vector<LibraryMessage> TakeLibraryMessages();

// When set, each message is also written to standard error as it arrives.
void EchoLibraryMessages(bool on);

}  // namespace vazctl
