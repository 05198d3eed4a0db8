// VazCrashReport through libvaz.so against the virtual reader and the real
// SMTP server: this program is the host and offers vaz_host_feedback_dialog,
// which plays a user pressing the buttons.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "mail_peers.h"
#include "vaz_link_fixture.h"

namespace {
// What the "user" does with the dialog; null: the dialog is not shown.
std::function<void(const VazFeedbackDialog&)> g_user;
int g_shown = 0;
}  // namespace

extern "C" __attribute__((visibility("default"))) void vaz_host_feedback_dialog(const VazFeedbackDialog* dialog) {
    ++g_shown;
    if (g_user) g_user(*dialog);
}

namespace {

using vaztest::Vaz;

void UsePort(int port) {
    setenv("VAZ_MAIL_PORT", std::to_string(port).c_str(), 1);
}

class CrashReport : public vaztest::ConnectedLink {
protected:
    void SetUp() override {
        setenv("VAZ_MAIL_SERVER", "127.0.0.1", 1);
        setenv("VAZ_IP_LOOKUP_URL", ("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/").c_str(), 1);
        UsePort(ClosedPort());
        g_shown = 0;
        g_user = nullptr;
        vaztest::ConnectedLink::SetUp();
    }
};

TEST_P(CrashReport, FailedSubmitThenGoodOneMailsTheReadersReport) {
    SmtpServer server(VAZ_MAIL_ACCOUNT, VAZ_MAIL_PASSWORD);
    std::vector<int> results;
    std::vector<std::string> texts;
    g_user = [&](const VazFeedbackDialog& d) {
        texts = {d.caption, d.lines[0], d.lines[2], d.lines[3], d.submitText, d.cancelText, d.failedText};
        testing::internal::CaptureStderr();
        results.push_back(d.submit(d.context, "first line"));  // nothing listens yet
        UsePort(server.Port());
        results.push_back(d.submit(d.context, "second line"));
        testing::internal::GetCapturedStderr();
    };
    EXPECT_EQ(Vaz().VazCrashReport(), 1);
    EXPECT_EQ(results, (std::vector<int>{0, 1}));
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts[0], "feedback");
    EXPECT_EQ(texts[1].substr(0, 6), "\xc8\xe7\xb9\xfb\xc4\xfa");  // "如果您"
    EXPECT_EQ(texts[2].substr(texts[2].size() - 3 - strlen(VAZ_SERVICE_PHONE)), "   " VAZ_SERVICE_PHONE);
    EXPECT_EQ(texts[3].substr(texts[3].size() - 4 - strlen(VAZ_FEEDBACK_ADDRESS)), "    " VAZ_FEEDBACK_ADDRESS);
    EXPECT_EQ(texts[4], "\xc8\xb7\xb6\xa8");                  // "确定"
    EXPECT_EQ(texts[6], "\xcc\xe1\xbd\xbb\xca\xa7\xb0\xdc");  // "提交失败"

    EXPECT_EQ(server.Stored("1.0"), "I have readed 10000 sheet card\r\nfirst line\r\nsecond line\r\n\r\n");
    std::string eml = server.Stored("1.eml");
    char identification[VAZ_REPLY_SIZE] = {};
    ASSERT_TRUE(Vaz().VazGetDevInfo(VAZ_DEV_INFO_IDENTIFICATION, identification));
    EXPECT_EQ(eml.substr(0, eml.find("<")), "From:\"" + std::string(identification) + "\"");
    EXPECT_EQ(server.Stored("2.eml"), "");
}

TEST_P(CrashReport, CancelSendsNothingAndOfflineShowsNothing) {
    LoopbackListener nobody(PlayScript({}));
    UsePort(nobody.Port());
    EXPECT_EQ(Vaz().VazCrashReport(), 1);  // the dialog closes without a submit
    EXPECT_EQ(g_shown, 1);
    EXPECT_EQ(nobody.Accepted(), 0);
    Vaz().VazInit(-1);  // disconnect
    EXPECT_EQ(Vaz().VazCrashReport(), 0);
    EXPECT_EQ(g_shown, 1);
}

INSTANTIATE_TEST_SUITE_P(Links, CrashReport, vaztest::BothLinks(), vaztest::LinkName);

}  // namespace
