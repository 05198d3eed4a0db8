#include "crash_report.h"

#include <locale.h>

namespace vazmail {

std::vector<std::string> FeedbackDialogLines(const MailSettings& settings) {
    return {
        // "如果您在阅读机使用过程中，遇到什么问题，"
        "\xc8\xe7\xb9\xfb\xc4\xfa\xd4\xda\xd4\xc4\xb6\xc1\xbb\xfa\xca\xb9\xd3\xc3\xb9\xfd\xb3\xcc\xd6\xd0\xa3"
        "\xac"
        "\xd3\xf6\xb5\xbd\xca\xb2\xc3\xb4\xce\xca\xcc\xe2\xa3\xac",
        // "或者有什么建议，您可以通过以下方式向我们提供反馈:"
        "\xbb\xf2\xd5\xdf\xd3\xd0\xca\xb2\xc3\xb4\xbd\xa8\xd2\xe9\xa3\xac\xc4\xfa\xbf\xc9\xd2\xd4\xcd\xa8\xb9"
        "\xfd"
        "\xd2\xd4\xcf\xc2\xb7\xbd\xca\xbd\xcf\xf2\xce\xd2\xc3\xc7\xcc\xe1\xb9\xa9\xb7\xb4\xc0\xa1:",
        // "方式一:拨打我们的售后服务电话"
        "\xb7\xbd\xca\xbd\xd2\xbb:"
        "\xb2\xa6\xb4\xf2\xce\xd2\xc3\xc7\xb5\xc4\xca\xdb\xba\xf3\xb7\xfe\xce\xf1\xb5\xe7"
        "\xbb\xb0   " +
            settings.servicePhone,
        // "方式二:发送邮件到我们的邮箱"
        "\xb7\xbd\xca\xbd\xb6\xfe:"
        "\xb7\xa2\xcb\xcd\xd3\xca\xbc\xfe\xb5\xbd\xce\xd2\xc3\xc7\xb5\xc4\xd3\xca\xcf\xe4"
        "    " +
            settings.feedbackAddress,
        // "方式三:您可以在下方编辑框中输入您想要反馈的信息，"
        "\xb7\xbd\xca\xbd\xc8\xfd:"
        "\xc4\xfa\xbf\xc9\xd2\xd4\xd4\xda\xcf\xc2\xb7\xbd\xb1\xe0\xbc\xad\xbf\xf2\xd6\xd0"
        "\xca\xe4\xc8\xeb\xc4\xfa\xcf\xeb\xd2\xaa\xb7\xb4\xc0\xa1\xb5\xc4\xd0\xc5\xcf\xa2\xa3\xac",
        // "点击提交，返馈给我们"
        "\xb5\xe3\xbb\xf7\xcc\xe1\xbd\xbb\xa3\xac\xb7\xb5\xc0\xa1\xb8\xf8\xce\xd2\xc3\xc7",
    };
}

std::string MailSubject(time_t when) {
    tm local{};
    if (!localtime_r(&when, &local)) return "";
    locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (!classic) return "";
    char text[128];
    size_t n = strftime_l(text, sizeof text, "%A, %B %d, %Y", &local, classic);
    freelocale(classic);
    return std::string(text, n);  // 0 when it does not fit 128 bytes
}

CCrashReport::CCrashReport(const char* identification, const char* cardCounter, const MailSettings& settings,
                           time_t now)
    : account_(settings.account),
      password_(settings.password),
      senderName_(identification ? identification : ""),
      subject_(MailSubject(now)),
      serverAddress_(settings.serverAddress),
      serverName_(settings.serverName),
      message_(std::string("I have readed ") + (cardCounter ? cardCounter : "") + " sheet card"),
      info_{} {
    info_.userName = account_.c_str();
    info_.password = password_.c_str();
    info_.senderName = senderName_.c_str();
    info_.senderAddress = account_.c_str();  // mailed from the account to itself
    info_.recipientAddress = account_.c_str();
    info_.subject = subject_.c_str();
    info_.body = body_.c_str();
    info_.serverAddress = serverAddress_.c_str();
    info_.serverName = serverName_.c_str();
}

bool CCrashReport::Submit(const char* userText) {
    message_ += "\r\n";
    message_ += userText ? userText : "";
    body_ = message_;
    info_.body = body_.c_str();
    return mailer_.SendMail(info_);
}

}  // namespace vazmail
