// Character set conversions: UTF-8 checks, a code page and back, the
// locale's charset, and code page 936.
#include <gtest/gtest.h>
#include <locale.h>

#include <cstdlib>

#include "vazplatform/codepage.h"

using vazplat::CodePage;
using vazplat::SanitiseUtf8;
using vazplat::Utf8SequenceLength;

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

// Code page 936: what crosses the device library's boundary.
TEST(Cp936, ToUtf8AndBack) {
    EXPECT_EQ(vazplat::Cp936ToUtf8(kGbkChinese + " A-1"), "中文 A-1");
    EXPECT_EQ(vazplat::Utf8ToCp936("中文 A-1"), kGbkChinese + " A-1");
    EXPECT_EQ(vazplat::Utf8ToCp936("a\xF0\x9F\x98\x80"), "a?");  // no code page 936 form
}

TEST(Cp936, BadBytesAreReplacedOrKeptByValue) {
    const std::string bad = "a\xFF" + kGbkChinese.substr(0, 2) + "\xD6";  // 0xFF, 中, a lead byte cut off
    EXPECT_EQ(vazplat::Cp936ToUtf8(bad), "a\xEF\xBF\xBD中\xEF\xBF\xBD");
    EXPECT_EQ(vazplat::Cp936ToUtf8(bad, vazplat::BadInput::Latin1), "a\xC3\xBF中\xC3\x96");
}

TEST(Cp936, ToLocaleOfAnAsciiProcessIsUtf8) {
    // The test program never calls setlocale: its locale is "C".
    EXPECT_EQ(vazplat::Cp936ToLocale(kGbkChinese), "中文");
    EXPECT_EQ(vazplat::Cp936ToLocale("x\xFFy"), "x?y");
    EXPECT_EQ(vazplat::Cp936ToLocale("plain"), "plain");
}

}  // namespace
