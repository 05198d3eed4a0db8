#include "messages.h"

#include <cstdio>

#include "output.h"
#include "vaz_host_hooks.h"

namespace vazctl {
namespace {

std::vector<LibraryMessage>& Pending() {
    static std::vector<LibraryMessage> messages;
    return messages;
}

bool g_echo = false;

}  // namespace

std::vector<LibraryMessage> TakeLibraryMessages() {
    std::vector<LibraryMessage> out;
    out.swap(Pending());
    return out;
}

void EchoLibraryMessages(bool on) {
    g_echo = on;
}

}  // namespace vazctl

// Found by the library in this program's dynamic symbol table (the program is
// linked with exported symbols).
extern "C" int vaz_host_message_box(const char* caption, const char* text, int buttons, int /*icon*/) {
    vazctl::LibraryMessage m{caption != nullptr ? caption : "", text != nullptr ? text : ""};
    if (vazctl::g_echo)
        std::fprintf(stderr, "vazctl: %s: %s\n", vazctl::Cp936ToUtf8(m.caption).c_str(),
                     vazctl::Cp936ToUtf8(m.text).c_str());
    vazctl::Pending().push_back(std::move(m));
    return buttons == VAZ_BOX_YESNO ? VAZ_ANSWER_YES : VAZ_ANSWER_OK;
}
