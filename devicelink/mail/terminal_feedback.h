// The feedback dialog on a terminal, for hosts without a dialog of their own:
// its texts are printed, the message is everything read up to the end of the
// input, and a message of nothing but blanks and line ends cancels.
#pragma once

#include <istream>
#include <ostream>

#include "crash_report.h"

namespace vazmail {

enum class FeedbackOutcome { Cancelled, Sent, Failed };

// Texts go to `out` in the locale's character set; the message read from `in`
// is taken in that character set (UTF-8 under a plain ASCII locale). A failed
// send prints "提交失败".
FeedbackOutcome RunTerminalFeedback(CCrashReport& report, const MailSettings& settings, std::istream& in,
                                    std::ostream& out);

}  // namespace vazmail
