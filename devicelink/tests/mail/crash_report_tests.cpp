// The report VazCrashReport mails and its terminal dialog, against the real
// SMTP server with the configured account and the run-time overrides.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>

#include "mail_peers.h"
#include "terminal_feedback.h"

namespace {

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VAZ_MAIL_SERVER", "127.0.0.1", 1);
        UsePort(ClosedPort());
        setenv("VAZ_IP_LOOKUP_URL", ("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/").c_str(), 1);
    }
    static void UsePort(int port) { setenv("VAZ_MAIL_PORT", std::to_string(port).c_str(), 1); }
    // The terminal dialog over `input`; *shown gets what it printed.
    vazmail::FeedbackOutcome Terminal(const std::string& input, std::string* shown) {
        vazmail::CCrashReport report("R6KTM V1", "7", settings(), time(nullptr));
        std::istringstream in(input);
        std::ostringstream out;
        testing::internal::CaptureStderr();
        vazmail::FeedbackOutcome outcome = vazmail::RunTerminalFeedback(report, settings(), in, out);
        testing::internal::GetCapturedStderr();
        *shown = out.str();
        return outcome;
    }
    static vazmail::MailSettings settings() { return vazmail::CurrentMailSettings(); }
};

TEST_F(ReportTest, FailedSubmitThenGoodOneMailsTheGrowingMessage) {
    time_t now = time(nullptr);
    vazmail::CCrashReport report("R6KTM V1", "10000", settings(), now);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(report.Submit("paper jams"));  // no server yet
    SmtpServer server(settings().account, settings().password);
    UsePort(server.Port());
    EXPECT_TRUE(report.Submit("paper jams"));
    testing::internal::GetCapturedStderr();

    const std::string& account = settings().account;
    EXPECT_EQ(server.Stored("auth.log"), "LOGIN " + account + " ravendolph ok\n");
    EXPECT_EQ(server.Stored("1.envelope"), "from " + account + "\nto " + account + "\n");
    EXPECT_EQ(server.Stored("1.0"), "I have readed 10000 sheet card\r\npaper jams\r\npaper jams\r\n\r\n");
    std::string eml = server.Stored("1.eml");
    EXPECT_EQ(eml.substr(0, eml.find("\r\nTO:")), "From:\"R6KTM V1\"<" + account + ">");
    EXPECT_NE(eml.find("\r\nSubject:" + vazmail::MailSubject(now) + "\r\n"), std::string::npos);
    EXPECT_FALSE(vazmail::MailSubject(now).empty());
}

TEST_F(ReportTest, TerminalDialogSendsCancelsAndReportsFailure) {
    LoopbackListener nobody(PlayScript({}));
    UsePort(nobody.Port());
    std::string shown;
    EXPECT_EQ(Terminal(" \n\n", &shown), vazmail::FeedbackOutcome::Cancelled);
    EXPECT_EQ(Terminal("", &shown), vazmail::FeedbackOutcome::Cancelled);
    EXPECT_EQ(nobody.Accepted(), 0);
    EXPECT_EQ(shown.substr(0, 9), "feedback\n");
    EXPECT_NE(shown.find("\xe5\xa6\x82\xe6\x9e\x9c\xe6\x82\xa8"), std::string::npos) << shown;  // "如果您"
    EXPECT_NE(shown.find("   " + settings().servicePhone + "\n"), std::string::npos);
    EXPECT_NE(shown.find("    " + settings().feedbackAddress + "\n"), std::string::npos);

    SmtpServer server(settings().account, settings().password);
    UsePort(server.Port());
    EXPECT_EQ(Terminal("\xe7\xac\xac\xe4\xb8\x80\xe8\xa1\x8c\nsecond line\n", &shown),  // "第一行"
              vazmail::FeedbackOutcome::Sent);
    EXPECT_EQ(server.Stored("1.0"),
              "I have readed 7 sheet card\r\n\xb5\xda\xd2\xbb\xd0\xd0\r\nsecond line\r\n\r\n");

    UsePort(ClosedPort());
    EXPECT_EQ(Terminal("help", &shown), vazmail::FeedbackOutcome::Failed);
    EXPECT_EQ(shown.substr(shown.size() - 13),
              "\xe6\x8f\x90\xe4\xba\xa4\xe5\xa4\xb1\xe8\xb4\xa5\n");  // "提交失败"
}

}  // namespace
