#include "version_commands.h"

namespace firmware {

namespace {

CommandResult SendText(UsbLink* link, const std::string& bytes) {
    if (!link) return CommandResult::NotOpen;
    if (bytes.empty()) return CommandResult::Empty;
    switch (link->Send(bytes)) {
        case SendResult::Sent:
            return CommandResult::Done;
        case SendResult::TooLong:
            return CommandResult::TooLong;
        default:
            return CommandResult::SendFailed;
    }
}

}  // namespace

std::optional<std::string> EightBitText(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c > 0xFF) return std::nullopt;  // cutting it to its low bits would send another character
        out.push_back(static_cast<char>(c));
    }
    return out;
}

CommandResult SendConsoleCommand(UsbLink* link, std::u16string_view command) {
    if (!link) return CommandResult::NotOpen;
    std::optional<std::string> bytes = EightBitText(command);
    if (!bytes) return CommandResult::BadText;
    return SendText(link, *bytes);
}

CommandResult WriteVersion(UsbLink* link, std::u16string_view version) {
    if (!link) return CommandResult::NotOpen;
    std::optional<std::string> text = EightBitText(version);
    // A "/" would end the command early and the rest would reach the reader as a command of its own.
    if (!text || text->find('/') != std::string::npos) return CommandResult::BadText;
    link->ClearReplies();
    if (CommandResult r = SendText(link, "V " + *text + "/"); r != CommandResult::Done) return r;
    std::optional<std::string> reply = link->NextReply(kReplyTimeoutMs);
    if (!reply) return CommandResult::NoReply;
    return reply->starts_with('E') ? CommandResult::Done : CommandResult::NotConfirmed;
}

CommandResult ReadVersion(UsbLink* link, std::string* version) {
    if (!link) return CommandResult::NotOpen;
    link->ClearReplies();
    if (CommandResult r = SendText(link, "v/"); r != CommandResult::Done) return r;
    std::optional<std::string> text = link->NextReply(kReplyTimeoutMs);
    std::optional<std::string> status = text ? link->NextReply(kReplyTimeoutMs) : std::nullopt;
    if (!status) return CommandResult::NoReply;
    if (!status->starts_with('E')) return CommandResult::NotConfirmed;
    *version = text->empty() ? std::string() : text->substr(0, text->size() - 1);
    return CommandResult::Done;
}

}  // namespace firmware
