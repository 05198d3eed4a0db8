// Conversions between the process code page and UTF-8, directly and through
// the exports of a host running in a GBK locale.
#include "codepage.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <sys/stat.h>

#include <cstdlib>

#include "skelvin_host.h"

// With LOCPATH set, glibc's newlocale keeps its copy of the path list
// (70 bytes a call) for good; that is the C library's, not a leak of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:__argz_add_sep\n";
}

using skelvin::CodePage;
using skelvin::SanitiseUtf8;
using skelvin::Utf8SequenceLength;

namespace {

// "中文" in GBK.
const std::string kGbkChinese = "\xD6\xD0\xCE\xC4";

TEST(Utf8, WellFormedSequencesHaveTheirLength) {
    EXPECT_EQ(Utf8SequenceLength("a"), 1u);
    EXPECT_EQ(Utf8SequenceLength("\xC2\xA9"), 2u);
    EXPECT_EQ(Utf8SequenceLength("中"), 3u);
    EXPECT_EQ(Utf8SequenceLength("\xF0\x9F\x98\x80"), 4u);
    EXPECT_EQ(Utf8SequenceLength("\xF4\x8F\xBF\xBF"), 4u);  // U+10FFFF
}

TEST(Utf8, MalformedSequencesHaveNone) {
    for (const char* bad : {"\x80", "\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xE4\xB8", "\xFF", "\xC3"})
        EXPECT_EQ(Utf8SequenceLength(bad), 0u) << testing::PrintToString(std::string(bad));
}

TEST(Utf8, SanitiseReplacesOnlyTheBadBytes) {
    EXPECT_EQ(SanitiseUtf8("中文 ok"), "中文 ok");
    EXPECT_EQ(SanitiseUtf8("a\xE4\xB8"
                           "b"),
              "a\xEF\xBF\xBD\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(SanitiseUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(SanitiseUtf8(""), "");
}

TEST(CodePageConversion, Utf8CodePageChangesNothingValid) {
    CodePage cp("UTF-8");
    EXPECT_TRUE(cp.IsUtf8());
    EXPECT_EQ(cp.ToUtf8("第一中学 A-1"), "第一中学 A-1");
    EXPECT_EQ(cp.FromUtf8("第一中学 A-1"), "第一中学 A-1");
}

TEST(CodePageConversion, GbkToUtf8AndBack) {
    CodePage cp("GBK");
    EXPECT_FALSE(cp.IsUtf8());
    EXPECT_EQ(cp.ToUtf8(kGbkChinese + "-42"), "中文-42");
    EXPECT_EQ(cp.FromUtf8("中文-42"), kGbkChinese + "-42");
    EXPECT_EQ(cp.ToUtf8(""), "");
    std::string longText;
    for (int i = 0; i < 5000; ++i) longText += kGbkChinese;  // output grows past the first guess
    EXPECT_EQ(cp.FromUtf8(cp.ToUtf8(longText)), longText);
}

TEST(CodePageConversion, UnrepresentableCharactersBecomeQuestionMarks) {
    CodePage cp("GBK");
    EXPECT_EQ(cp.FromUtf8("a\xF0\x9F\x98\x80"
                          "b"),
              "a?b");  // an emoji, one '?' for four bytes
    EXPECT_EQ(cp.FromUtf8("\xFF"
                          "中"),
              "?"
              "\xD6\xD0");                               // a malformed byte, then a character
    EXPECT_EQ(cp.FromUtf8("中\xE4\xB8"), "\xD6\xD0??");  // cut off: each stray byte
}

TEST(CodePageConversion, InvalidCodePageBytesBecomeReplacementCharacters) {
    CodePage cp("GBK");
    EXPECT_EQ(cp.ToUtf8("a\xFF"
                        "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(cp.ToUtf8(kGbkChinese + "\xD6"), "中文\xEF\xBF\xBD");  // lead byte without its trail
}

TEST(CodePageConversion, UnknownCharsetFallsBackToUtf8) {
    CodePage cp("NO-SUCH-CHARSET-42");
    EXPECT_TRUE(cp.IsUtf8());
    EXPECT_EQ(cp.ToUtf8("中"), "中");
}

class LocaleLookup : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) unsetenv(var);
    }
};

TEST_F(LocaleLookup, CAndPosixLocalesAreServedAsUtf8) {
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) unsetenv(var);
    EXPECT_EQ(CodePage::LocaleCharset(), "UTF-8");
    setenv("LC_ALL", "POSIX", 1);
    EXPECT_EQ(CodePage::LocaleCharset(), "UTF-8");
}

TEST_F(LocaleLookup, LcAllWinsOverLcCtypeOverLang) {
    setenv("LANG", "C.UTF-8", 1);
    setenv("LC_CTYPE", "zh_CN.GB18030-not-installed", 1);
    EXPECT_EQ(CodePage::LocaleCharset(), "UTF-8");  // unknown charset name: UTF-8
    setenv("LC_CTYPE", "xx_XX.GB18030", 1);
    EXPECT_EQ(CodePage::LocaleCharset(), "GB18030");  // not installed: the name's charset
    setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(CodePage::LocaleCharset(), "UTF-8");
}

TEST_F(LocaleLookup, TheHostsOwnLocaleIsLeftAlone) {
    std::string before = setlocale(LC_ALL, nullptr);
    setenv("LC_ALL", "C.UTF-8", 1);
    CodePage cp;
    EXPECT_EQ(setlocale(LC_ALL, nullptr), before);
}

// --- a host in a GBK locale ---------------------------------------------------

// Made by the cloudclient.gbk_locale test before these run.
bool GbkLocaleInstalled() {
    struct stat st {};
    if (stat(GBK_LOCALE_DIR "/zh_CN.GBK/LC_CTYPE", &st) != 0) return false;
    setenv("LOCPATH", GBK_LOCALE_DIR, 1);
    return true;
}

class GbkHost : public LocaleLookup {
protected:
    void SetUp() override {
        if (!GbkLocaleInstalled()) GTEST_SKIP() << "no zh_CN.GBK locale in " GBK_LOCALE_DIR;
        setenv("LC_ALL", "zh_CN.GBK", 1);
        lib = std::make_unique<skelvintest::SkelvinLib>();
        ASSERT_NE(lib->handle, nullptr);
        lib->SetEndpoint(peer.Url());
    }

    exampeer::RawPeer peer;
    std::unique_ptr<skelvintest::SkelvinLib> lib;
};

TEST_F(GbkHost, LocaleIsFoundThroughTheSystem) {
    EXPECT_EQ(CodePage::LocaleCharset(), "GBK");
}

TEST_F(GbkHost, EveryDataCallSendsUtf8AndReturnsGbk) {
    skelvintest::Answering answer(peer, skelvintest::Response("tongji2", "<return>统计 中文</return>"));
    int size = lib->tongJi(kGbkChinese.c_str(), "b", "c", "d", "e", "f");
    EXPECT_NE(answer.Request().find("<arg0>中文</arg0>"), std::string::npos);
    EXPECT_EQ(lib->Result(size), "\xCD\xB3\xBC\xC6 " + kGbkChinese);
}

TEST_F(GbkHost, LogInWebConvertsItsTextsToo) {
    skelvintest::Answering answer(peer,
                                  skelvintest::Response("loginweb", "<return>OK \xF0\x9F\x98\x80</return>"));
    int size = lib->logInWeb(kGbkChinese.c_str(), "pw1");
    EXPECT_NE(answer.Request().find("<accountname>中文</accountname><pwd>pw1</pwd>"), std::string::npos);
    EXPECT_EQ(size, 5);  // the emoji has no GBK form
    EXPECT_EQ(lib->Result(size), "OK ?");
}

}  // namespace
