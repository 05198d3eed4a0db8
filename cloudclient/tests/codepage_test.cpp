// Conversions between the process code page and UTF-8 through the exports of
// a host running in a GBK locale.
#include "vazplatform/codepage.h"

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

using vazplat::CodePage;

namespace {

// "中文" in GBK.
const std::string kGbkChinese = "\xD6\xD0\xCE\xC4";

// Made by the cloudclient.gbk_locale test before these run.
bool GbkLocaleInstalled() {
    struct stat st {};
    if (stat(GBK_LOCALE_DIR "/zh_CN.GBK/LC_CTYPE", &st) != 0) return false;
    setenv("LOCPATH", GBK_LOCALE_DIR, 1);
    return true;
}

class GbkHost : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GbkLocaleInstalled()) GTEST_SKIP() << "no zh_CN.GBK locale in " GBK_LOCALE_DIR;
        setenv("LC_ALL", "zh_CN.GBK", 1);
        lib = std::make_unique<skelvintest::SkelvinLib>();
        ASSERT_NE(lib->handle, nullptr);
        lib->SetEndpoint(peer.Url());
    }
    void TearDown() override {
        for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) unsetenv(var);
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
