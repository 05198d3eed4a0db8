// The mailer's byte rules without a server: base64, replies cut anywhere,
// mail data, header texts, file names, settings and the subject.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <regex>

#include "crash_report.h"
#include "mail_peers.h"
#include "mail_text.h"
#include "smtp_codec.h"

namespace {

TEST(Base64, VectorsAndFinalGroups) {
    TestMailer m;
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foobar", "Zm9vYmFy"},
        {"\xfc", "/A=="},      // one byte, two lowest bits zero: its 'A' is kept
        {"\xff\xf0", "//A="},  // two bytes, low four bits of the second zero
        {std::string(1, '\0'), "AA=="},
        {"\xfb\xff", "+/8="},
    };
    for (const auto& [in, expected] : cases) {
        char out[16];
        memset(out, '#', sizeof out);
        m.Char2Base64(out, in.data(), static_cast<int>(in.size()));
        EXPECT_EQ(std::string(out, expected.size()), expected) << in;
        EXPECT_EQ(out[expected.size()], '#') << "no terminator is written";
    }
}

TEST(SmtpReplies, SplitAtEveryPlaceAndMultiLine) {
    const std::string stream = "250-first line\r\n250-second\r\n250 last\r\n334 VXNlcg==\n";
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        vazmail::SmtpReplyParser p;
        std::vector<int> codes;
        for (std::string piece : {stream.substr(0, cut), stream.substr(cut)}) {
            int used = 0;
            while (!piece.empty()) {
                int code = p.Feed(piece.data(), static_cast<int>(piece.size()), &used);
                if (code != 0) codes.push_back(code);
                piece.erase(0, used);
            }
        }
        EXPECT_EQ(codes, (std::vector<int>{250, 334})) << "cut at " << cut;
        EXPECT_EQ(p.LastLine(), "334 VXNlcg==");
    }
    vazmail::SmtpReplyParser p;
    int used = 0;
    EXPECT_EQ(p.Feed("hello\r\n", 7, &used), vazmail::SmtpReplyParser::kGarbled);
    std::string longLine = "220 " + std::string(5000, 'x') + "\r\n";
    EXPECT_EQ(p.Feed(longLine.data(), static_cast<int>(longLine.size()), &used), 220);
    EXPECT_EQ(p.LastLine().size(), size_t{vazmail::SmtpReplyParser::kMaxLineText});
}

TEST(SmtpData, LineEndsAndLeadingDots) {
    vazmail::SmtpDataEncoder e;
    std::string out;
    for (std::string piece : {".a\n..b\rc.d\r", "\n.\r\n", "x\r", ".y"})
        e.Encode(piece.data(), piece.size(), out);
    EXPECT_EQ(out, "..a\r\n...b\r\nc.d\r\n..\r\nx\r\n..y");
    EXPECT_FALSE(e.AtLineStart());
}

TEST(HeaderTexts, AsciiQuotedOthersEncodedOnOneField) {
    EXPECT_EQ(vazmail::HeaderDisplayName("R6KTM \"V1\""), "\"R6KTM \\\"V1\\\"\"");
    EXPECT_EQ(vazmail::HeaderText("Monday, March 04, 2024"), "Monday, March 04, 2024");
    EXPECT_EQ(vazmail::HeaderText("a\r\nBcc: x@y"), "a  Bcc: x@y");  // can never add a header line
    std::string chinese;
    for (int i = 0; i < 40; ++i) chinese += "\xd6\xd0";  // "中" x 40
    std::string subject = vazmail::HeaderText(chinese.c_str());
    std::regex word("=\\?GBK\\?B\\?[A-Za-z0-9+/=]+\\?=");
    size_t words = 0;
    for (size_t at = 0; at <= subject.size(); ++words) {
        size_t end = std::min(subject.find("\r\n ", at), subject.size());
        std::string w = subject.substr(at, end - at);
        EXPECT_TRUE(std::regex_match(w, word)) << w;
        EXPECT_LE(w.size(), 75u);
        at = end + 3;
    }
    EXPECT_EQ(words, 2u);
    EXPECT_EQ(vazmail::Cp936Prefix(chinese.data(), chinese.size(), 45), 44u);  // whole characters
}

TEST(FileNames, LastPartCutToWholeCharacters) {
    TestMailer m;
    auto name = [&](const std::string& path) {
        char buf[CSendMail::kFileNameSize + 8];
        memset(buf, 0, sizeof buf);
        m.GetFileName(buf, path.c_str());
        EXPECT_EQ(buf[CSendMail::kFileNameSize - 1], 0);
        return std::string(buf);
    };
    EXPECT_EQ(name("/var/log/vaz/report.txt"), "report.txt");
    EXPECT_EQ(name("C:\\logs\\a.log"), "a.log");
    EXPECT_EQ(name("plain.txt"), "plain.txt");
    EXPECT_EQ(name("dir/"), "");
    std::string wide;
    for (int i = 0; i < 100; ++i) wide += "\xd6\xd0";
    EXPECT_EQ(name("/tmp/" + wide).size(), 126u);
    EXPECT_EQ(name("/tmp/a" + wide).size(), 127u);
}

TEST(Settings, RunTimeOverrides) {
    vazmail::MailSettings built = vazmail::CurrentMailSettings();
    EXPECT_EQ(built.password, "ravendolph");
    EXPECT_NE(built.lookupUrl.find("/getip.aspx"), std::string::npos);
    setenv("VAZ_MAIL_SERVER", "relay.site.test", 1);
    setenv("VAZ_MAIL_PORT", "2525", 1);
    setenv("VAZ_IP_LOOKUP_URL", "http://127.0.0.1:9/ip", 1);
    vazmail::MailSettings s = vazmail::CurrentMailSettings();
    EXPECT_EQ(s.serverAddress, "relay.site.test");
    EXPECT_EQ(s.serverName, "relay.site.test");
    EXPECT_EQ(s.port, 2525);
    EXPECT_EQ(s.lookupUrl, "http://127.0.0.1:9/ip");
    setenv("VAZ_MAIL_PORT", "25x", 1);
    EXPECT_EQ(vazmail::CurrentMailSettings().port, built.port);
}

TEST(Subject, DateInTheClassicLocale) {
    setenv("TZ", "UTC", 1);
    tzset();
    setlocale(LC_ALL, "C.UTF-8");
    EXPECT_EQ(vazmail::MailSubject(1709510400), "Monday, March 04, 2024");
    EXPECT_EQ(vazmail::MailSubject(1735603200), "Tuesday, December 31, 2024");
}

}  // namespace
