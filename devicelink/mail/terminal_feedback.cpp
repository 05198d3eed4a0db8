#include "terminal_feedback.h"

#include <iterator>

#include "mail_text.h"
#include "vazplatform/codepage.h"

namespace vazmail {

FeedbackOutcome RunTerminalFeedback(CCrashReport& report, const MailSettings& settings, std::istream& in,
                                    std::ostream& out) {
    out << kFeedbackCaption << "\n";
    for (const std::string& line : FeedbackDialogLines(settings)) out << vazplat::Cp936ToLocale(line) << "\n";
    out << "(end the message with Ctrl-D; an empty message cancels)\n";
    out.flush();

    std::string message((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t end = message.find_last_not_of(" \t\r\n");
    if (end == std::string::npos) return FeedbackOutcome::Cancelled;
    message.erase(end + 1);  // the line end that closed the input is no part of it
    if (report.Submit(Cp936FromLocale(message).c_str())) return FeedbackOutcome::Sent;
    out << vazplat::Cp936ToLocale(kSubmitFailed) << "\n";
    out.flush();
    return FeedbackOutcome::Failed;
}

}  // namespace vazmail
