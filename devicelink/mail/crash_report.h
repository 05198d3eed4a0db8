// The feedback report behind VazCrashReport: the texts of the feedback dialog
// and the mail it sends. The device context only has to hand in the reader's
// identification and card counter; the dialog hands in what the user wrote.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "mail_settings.h"
#include "send_mail.h"

namespace vazmail {

// ---- texts of the feedback dialog (code page 936) -------------------------------
inline constexpr char kFeedbackCaption[] = "feedback";
inline constexpr char kSubmitButton[] = "\xc8\xb7\xb6\xa8";                  // "确定"
inline constexpr char kCancelButton[] = "\xc8\xa1\xcf\xfb";                  // "取消"
inline constexpr char kSubmitFailed[] = "\xcc\xe1\xbd\xbb\xca\xa7\xb0\xdc";  // "提交失败"
// The six static lines of the dialog in their order; the third and fourth end
// in the service telephone number and the feedback address.
std::vector<std::string> FeedbackDialogLines(const MailSettings& settings);

// "%A, %B %d, %Y" of the local date of `when` with the classic locale's names
// ("Monday, March 04, 2024"); "" when the date cannot be computed.
std::string MailSubject(time_t when);

// The report: From the reader's identification, to the configured account,
// the date as subject. Its message starts as the count line "I have readed N
// sheet card"; every submit adds a line with the user's text and mails the
// whole message. One thread at a time.
class CCrashReport {
public:
    CCrashReport(const char* identification, const char* cardCounter, const MailSettings& settings,
                 time_t now);
    CCrashReport(const CCrashReport&) = delete;
    CCrashReport& operator=(const CCrashReport&) = delete;

    // One press of the submit button: appends "\r\n" and `userText` (code page
    // 936) to the message and mails it. True when the server accepted the mail.
    bool Submit(const char* userText);
    const std::string& Message() const { return message_; }
    const sMailInfo& MailInfo() const { return info_; }
    CSendMail& Mailer() { return mailer_; }

private:
    std::string account_;
    std::string password_;
    std::string senderName_;
    std::string subject_;
    std::string serverAddress_;
    std::string serverName_;
    std::string message_;
    std::string body_;
    sMailInfo info_;
    CSendMail mailer_;
};

}  // namespace vazmail
