// CSendMail against the real SMTP server on 127.0.0.1 (what it received,
// as raw bytes and as its MIME parts), against peers that stall
// or cut their replies, and the address lookups.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "mail_peers.h"
#include "mail_settings.h"

namespace {

using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void UsePort(int port) {
    setenv("VAZ_MAIL_PORT", std::to_string(port).c_str(), 1);
}
void UseLookup(int port) {
    setenv("VAZ_IP_LOOKUP_URL", ("http://127.0.0.1:" + std::to_string(port) + "/getip.aspx").c_str(), 1);
}

std::vector<ScriptStep> UpToData() {
    return {{ScriptStep::kNothing, {"220 ready\r\n"}}, {ScriptStep::kLine, {"250 hi\r\n"}},
            {ScriptStep::kLine, {"334 VXNlcg==\r\n"}}, {ScriptStep::kLine, {"334 UGFzcw==\r\n"}},
            {ScriptStep::kLine, {"235 ok\r\n"}},       {ScriptStep::kLine, {"250 ok\r\n"}},
            {ScriptStep::kLine, {"250 ok\r\n"}},       {ScriptStep::kLine, {"354 go\r\n"}}};
}

class MailTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseLookup(ClosedPort());
        mailer.SetTimeouts(2000, 5000, 5000);
    }
    // Sends `info`; *errors gets what the send wrote to standard error.
    bool Send(sMailInfo info, std::string* errors = nullptr) {
        testing::internal::CaptureStderr();
        bool ok = mailer.SendMail(info);
        std::string e = testing::internal::GetCapturedStderr();
        if (errors) *errors = e;
        return ok;
    }
    sMailInfo info{"tech@site.test",         "secret", "R6KTM V1",  "tech@site.test", "service@maker.test",
                   "Monday, March 04, 2024", "hello",  "127.0.0.1", "unused.invalid"};
    TestMailer mailer;
    TempDir files;
};

TEST_F(MailTest, DeliversEnvelopeHeadersTextAndAttachment) {
    SmtpServer server("tech@site.test", "secret");
    UsePort(server.Port());
    LoopbackListener page(ServePage("HTTP/1.0 200 OK\r\n\r\n203.0.113.7\r\nsecond line\r\n"));
    UseLookup(page.Port());
    std::string card;
    for (int i = 0; i < 10000; ++i) card += static_cast<char>(i * 7 + i / 256);
    WriteFile(files.File("card.bin"), card);
    mailer.AddFilePath(files.File("card.bin").c_str());
    mailer.AddFilePath(files.File("card.bin").c_str());  // listed once
    info.body = "I have readed 10000 sheet card\r\nhelp";

    ASSERT_TRUE(Send(info));
    EXPECT_EQ(server.Stored("auth.log"), "LOGIN tech@site.test secret ok\n");
    EXPECT_EQ(server.Stored("1.envelope"), "from tech@site.test\nto service@maker.test\n");
    std::string toName = vazmail::CurrentMailSettings().toDisplayName;
    std::string head = "From:\"R6KTM V1\"<tech@site.test>\r\nTO:\"" + toName +
                       "\"<service@maker.test>\r\n"
                       "Subject:Monday, March 04, "
                       "2024\r\nMime-Version:1.0\r\nContent-Type:multipart/mixed;boundary=\"ZPLW\"\r\n\r\n"
                       "--ZPLW\r\nContent-Type:text/plain;\r\n charset=\"gb2312\"\r\n\r\n"
                       "I have readed 10000 sheet card\r\nhelp\r\n203.0.113.7\r\n\r\n"
                       "--ZPLW\r\nContent-Type:application/octet-stream;\r\n name=\"card.bin\"\r\n"
                       "Content-Transfer-Encoding:base64\r\nContent-Disposition: attachment;\r\n "
                       "filename=\"card.bin\"\r\n\r\n";
    std::string eml = server.Stored("1.eml");
    ASSERT_EQ(eml.substr(0, head.size()), head);
    std::vector<size_t> lines;
    for (size_t at = head.size(); eml.compare(at, 8, "--ZPLW--") != 0; at = eml.find("\r\n", at) + 2)
        lines.push_back(eml.find("\r\n", at) - at);
    EXPECT_EQ(lines, (std::vector<size_t>{4000, 4000, 4000, 1336}));
    EXPECT_EQ(eml.substr(eml.size() - 10), "--ZPLW--\r\n");
    EXPECT_EQ(server.Stored("1.1"), card);  // decoded back byte for byte
    EXPECT_EQ(server.Stored("1.1.name"), "card.bin");
    EXPECT_EQ(server.Stored("1.2.name"), "");  // no further part
}

TEST_F(MailTest, DotsLineEndsLongTextAndChineseHeaders) {
    SmtpServer server("tech@site.test", "secret");
    UsePort(server.Port());
    std::string longLine(9000, 'x');
    std::string body = ".\n..two\r.\r\nmiddle\n" + longLine + "\n.end";
    info.body = body.c_str();
    info.senderName = "\xd4\xc4\xb6\xc1\xbb\xfa";             // "阅读机"
    info.subject = "\xd6\xd0\xce\xc4\xd6\xf7\xcc\xe2 March";  // "中文主题 March"
    std::string wide;
    for (int i = 0; i < 100; ++i) wide += "\xd6\xd0";  // "中" x 100: cut to 63 characters
    WriteFile(files.File(wide), "abc");
    mailer.AddFilePath(files.File(wide).c_str());

    ASSERT_TRUE(Send(info));
    // The text part ends before the CR LF of the next boundary.
    EXPECT_TRUE(server.Stored("1.0") == ".\r\n..two\r\n.\r\nmiddle\r\n" + longLine + "\r\n.end\r\n\r\n");
    std::string headers = server.Stored("1.headers");
    EXPECT_NE(headers.find("From: \xe9\x98\x85\xe8\xaf\xbb\xe6\x9c\xba <tech@site.test>\n"),
              std::string::npos)
        << headers;
    EXPECT_NE(headers.find("Subject: \xe4\xb8\xad\xe6\x96\x87\xe4\xb8\xbb\xe9\xa2\x98 March\n"),
              std::string::npos);
    std::string name;
    for (int i = 0; i < 63; ++i) name += "\xe4\xb8\xad";
    EXPECT_EQ(server.Stored("1.1.name"), name);
    EXPECT_EQ(server.Stored("1.1"), "abc");
}

TEST_F(MailTest, RefusedLogonOrRecipientFailsAndStoresNothing) {
    SmtpServer server("tech@site.test", "secret", {"nobody@maker.test"});
    UsePort(server.Port());
    std::string errors;
    info.password = "wrong";
    EXPECT_FALSE(Send(info, &errors));
    EXPECT_NE(errors.find("logon the mail server error!\n"), std::string::npos);
    EXPECT_NE(errors.find("535"), std::string::npos) << errors;
    info.password = "secret";
    info.recipientAddress = "nobody@maker.test";
    EXPECT_FALSE(Send(info, &errors));
    EXPECT_NE(errors.find("Send head error!\n"), std::string::npos);
    EXPECT_NE(errors.find("550"), std::string::npos) << errors;
    EXPECT_EQ(server.Stored("auth.log"),
              "LOGIN tech@site.test wrong refused\nLOGIN tech@site.test secret ok\n");
    EXPECT_EQ(server.Stored("1.eml"), "");
    // An empty address resolves the server's name instead.
    info.recipientAddress = "service@maker.test";
    info.serverAddress = "";
    info.serverName = "localhost";
    EXPECT_TRUE(Send(info));
    EXPECT_NE(server.Stored("1.eml"), "");
}

TEST_F(MailTest, AttachmentListAndUnreadableFile) {
    SmtpServer server("tech@site.test", "secret");
    UsePort(server.Port());
    WriteFile(files.File("a.txt"), "first");
    WriteFile(files.File("b.txt"), "second");
    for (const char* f : {"a.txt", "a.txt", "b.txt", "missing.bin"})
        mailer.AddFilePath(files.File(f).c_str());
    mailer.DeleteFilePath(files.File("c.txt").c_str());  // not listed: nothing changes
    mailer.DeleteFilePath(files.File("b.txt").c_str());
    std::string errors;
    ASSERT_TRUE(Send(info, &errors));
    EXPECT_NE(errors.find("missing.bin cannot be read"), std::string::npos) << errors;
    EXPECT_EQ(server.Stored("1.1.name"), "a.txt");
    EXPECT_EQ(server.Stored("1.1"), "first");
    EXPECT_EQ(server.Stored("1.2.name"), "missing.bin");
    EXPECT_EQ(server.Stored("1.2"), "");
    EXPECT_EQ(server.Stored("1.3.name"), "");
    mailer.DeleteAllPath();
    ASSERT_TRUE(Send(info));
    EXPECT_EQ(server.Stored("2.1.name"), "");
}

TEST_F(MailTest, SilentRefusedOrUnansweredServersEndWithinTheBound) {
    LoopbackListener silent(PlayScript({}));
    UsePort(silent.Port());
    std::string errors;
    sMailInfo incomplete = info;
    incomplete.subject = nullptr;
    EXPECT_FALSE(Send(incomplete, &errors));
    EXPECT_EQ(errors, "Please input every information!\n");
    EXPECT_EQ(silent.Accepted(), 0);

    mailer.SetTimeouts(300, 300, 300);
    auto start = Clock::now();
    EXPECT_FALSE(Send(info, &errors));
    EXPECT_LT(MsSince(start), 3000);
    EXPECT_EQ(errors, "logon the mail server error!\nvaz mail: no complete reply within 300 ms\n");

    UsePort(ClosedPort());
    EXPECT_FALSE(Send(info, &errors));
    EXPECT_NE(errors.find("Create socket error!\n"), std::string::npos);
    EXPECT_NE(errors.find("refused"), std::string::npos) << errors;

    // A listener whose backlog is full never completes the handshake.
    int full = socket(AF_INET, SOCK_STREAM, 0);
    int filler = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ASSERT_EQ(bind(full, reinterpret_cast<sockaddr*>(&a), len), 0);
    listen(full, 0);
    getsockname(full, reinterpret_cast<sockaddr*>(&a), &len);
    ASSERT_EQ(connect(filler, reinterpret_cast<sockaddr*>(&a), len), 0);
    UsePort(ntohs(a.sin_port));
    start = Clock::now();
    EXPECT_FALSE(Send(info, &errors));
    EXPECT_LT(MsSince(start), 3000);
    EXPECT_NE(errors.find("no answer within 300 ms"), std::string::npos) << errors;
    close(filler);
    close(full);
}

TEST_F(MailTest, PeersThatStallAfterTheHeadFailTheSend) {
    mailer.SetTimeouts(300, 300, 300);
    std::string errors;
    {  // stops reading: the attachment cannot be sent
        LoopbackListener deaf(PlayScript(UpToData()), 4096);
        UsePort(deaf.Port());
        WriteFile(files.File("big.bin"), std::string(16 << 20, 'z'));
        mailer.AddFilePath(files.File("big.bin").c_str());
        auto start = Clock::now();
        EXPECT_FALSE(Send(info, &errors));
        EXPECT_LT(MsSince(start), 5000);
        EXPECT_TRUE(EndsWith(errors, "Send file error!\nvaz mail: send: no answer within 300 ms\n"))
            << errors;
        mailer.DeleteAllPath();
    }
    {  // takes the data but never says it was accepted: not sent
        std::vector<ScriptStep> script = UpToData();
        script.push_back({ScriptStep::kDataEnd, {}});
        LoopbackListener mute(PlayScript(script));
        UsePort(mute.Port());
        EXPECT_FALSE(Send(info, &errors));
        EXPECT_TRUE(EndsWith(errors, "Send end error!\nvaz mail: no complete reply within 300 ms\n"))
            << errors;
    }
}

TEST_F(MailTest, RepliesSplitJoinedAndMultiLine) {
    LoopbackListener awkward(PlayScript({
        {ScriptStep::kNothing, {"2", "20-relay\r\n220-", "second\r\n220 ready\r"}},
        {ScriptStep::kNothing, {"\n"}},
        {ScriptStep::kLine, {"250 hi\r\n"}},
        {ScriptStep::kLine, {"334 VXNlcg==\r", "\n"}},
        {ScriptStep::kLine, {"33", "4 UGFzcw==\r\n"}},
        {ScriptStep::kLine, {"235-one\n235 two\n"}},
        {ScriptStep::kLine, {"250-a\r\n250-b\r\n250 c\r\n"}},
        {ScriptStep::kLine, {"251 forwarded\r\n"}},
        {ScriptStep::kLine, {"354 go\r\n"}},
        {ScriptStep::kDataEnd, {"250 queued\r\n221 bye\r\n"}},  // QUIT's reply comes early
    }));
    UsePort(awkward.Port());
    std::string errors;
    EXPECT_TRUE(Send(info, &errors)) << errors;
}

TEST_F(MailTest, PublicAddressIsTheFirstLineOfThePage) {
    mailer.SetTimeouts(300, 300, 300);
    const std::pair<std::string, std::string> pages[] = {
        {"HTTP/1.0 200 OK\r\n\r\n198.51.100.2\nmore", "198.51.100.2"},
        {"HTTP/1.0 200 OK\r\n\r\n" + std::string(300, '9'), std::string(259, '9')},
        {"HTTP/1.0 404 Not Found\r\n\r\n10.0.0.1\r\n", "unchanged"},
        {"", "unchanged"},  // never answers
    };
    for (const auto& [response, expected] : pages) {
        LoopbackListener page(ServePage(response));
        UseLookup(page.Port());
        char text[CSendMail::kInternetIPSize] = "unchanged";
        testing::internal::CaptureStderr();
        auto start = Clock::now();
        EXPECT_EQ(mailer.GetInternetIP(text), 0);
        EXPECT_LT(MsSince(start), 3000);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::string(text), expected) << response;
    }
}

TEST(LocalAddress, HostNameAndItsFirstIPv4Address) {
    TestMailer m;
    char address[CSendMail::kAddressSize] = "unchanged";
    char host[CSendMail::kHostNameSize] = {};
    char expected[CSendMail::kHostNameSize] = {};
    gethostname(expected, sizeof expected - 1);
    int rc = m.GetLocalIP(address, host);
    EXPECT_STREQ(host, expected);
    in_addr parsed{};
    if (rc == 0)
        EXPECT_EQ(inet_pton(AF_INET, address, &parsed), 1) << address;
    else
        EXPECT_STREQ(address, "unchanged");
}

}  // namespace
