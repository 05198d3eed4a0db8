// The exports' contract with the host: endpoint rules, the result buffer
// and every way an exchange can fail.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "skelvin_host.h"

using namespace skelvintest;
using std::chrono::milliseconds;

namespace {

class Exports : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("LC_ALL", "C.UTF-8", 1);
        lib = std::make_unique<SkelvinLib>();
        ASSERT_NE(lib->handle, nullptr);
    }

    // A successful logInWeb that leaves text as the result.
    void Succeed(const std::string& text) {
        lib->SetEndpoint(peer.Url());
        Answering answer(peer, Response("loginweb", "<return>" + text + "</return>"));
        ASSERT_EQ(lib->logInWeb("a", "b"), static_cast<int>(text.size()) + 1);
    }

    exampeer::RawPeer peer;
    std::unique_ptr<SkelvinLib> lib;
};

// --- Set_EndPoint ----------------------------------------------------------

TEST_F(Exports, EndpointStartsAsTheBuiltInDefault) {
    EXPECT_EQ(lib->Set_EndPoint(nullptr, 0), static_cast<int>(kDefaultEndpoint.size()));
    EXPECT_EQ(lib->Set_EndPoint(nullptr, 1), static_cast<int>(kDefaultEndpoint.size()));  // set ignored
    char buffer[256];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(lib->Set_EndPoint(buffer, 0), static_cast<int>(kDefaultEndpoint.size()));
    EXPECT_EQ(std::string(buffer), kDefaultEndpoint);
    EXPECT_EQ(buffer[kDefaultEndpoint.size() + 1], '#');  // exactly length + 1 bytes written
    EXPECT_NE(kDefaultEndpoint.find(":9011/qelborn/webservice/examservice"), std::string::npos);
}

TEST_F(Exports, SetEndpointStoresACopyForAllLaterCalls) {
    std::string url = peer.Url();
    std::string hostText = url;
    EXPECT_EQ(lib->Set_EndPoint(hostText.data(), 1), static_cast<int>(url.size()));
    hostText.assign(hostText.size(), 'x');  // the host reuses its buffer
    EXPECT_EQ(lib->Endpoint(), url);
    EXPECT_EQ(lib->Set_EndPoint(nullptr, 0), static_cast<int>(url.size()));
    for (int call = 0; call < 2; ++call) {
        Answering answer(peer, Response("loginweb", "<return>OK</return>"));
        EXPECT_EQ(lib->logInWeb("a", "b"), 3) << "call " << call;
        EXPECT_EQ(answer.Request().rfind("POST /qelborn/webservice/examservice HTTP/1.1\r\n", 0), 0u);
    }
    Answering answer(peer, Response("getmsg", "<return>1</return>"));
    EXPECT_EQ(lib->getMsg(), 1);
}

TEST_F(Exports, SetEndpointTakesMultiByteTextAndCountsBytes) {
    std::string url = "http://例子.invalid:9011/路径";
    EXPECT_EQ(lib->SetEndpoint(url), static_cast<int>(url.size()));
    EXPECT_EQ(lib->Endpoint(), url);
}

TEST_F(Exports, ABadEndpointFailsTheCallNotTheSetting) {
    EXPECT_EQ(lib->SetEndpoint("not a url"), 9);
    StderrCapture err;
    EXPECT_EQ(lib->logInWeb("a", "b"), 0);
    EXPECT_EQ(lib->getMsg(), 0);
    EXPECT_NE(err.Text().find("not a url"), std::string::npos);
}

// --- getRet and the result buffer -------------------------------------------

TEST_F(Exports, GetRetBeforeAnySuccessReturnsFalseAndWritesNothing) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(lib->getRet(buffer), 0);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(16, '#'));
    EXPECT_EQ(lib->getRet(nullptr), 0);
}

TEST_F(Exports, EmptyReturnGivesSizeOneAndAnEmptyText) {
    lib->SetEndpoint(peer.Url());
    for (const std::string children : {"<return></return>", "<return/>"}) {
        Answering answer(peer, Response("tongji2", children));
        int size = lib->tongJi("", "", "", "", "", "");
        EXPECT_EQ(size, 1) << children;
        EXPECT_EQ(lib->Result(size), "") << children;
    }
}

TEST_F(Exports, GetRetRepeatsTheLastResultAndANewOneReplacesIt) {
    Succeed("a much longer first result");
    EXPECT_EQ(lib->Result(27), "a much longer first result");
    EXPECT_EQ(lib->Result(27), "a much longer first result");
    Succeed("2nd");
    EXPECT_EQ(lib->Result(4), "2nd");
}

TEST_F(Exports, FailedCallsKeepTheEarlierResult) {
    Succeed("first");
    StderrCapture err;
    struct Case {
        const char* what;
        std::string response;
    } cases[] = {
        {"HTTP error status", exampeer::HttpResponse("<html>busy</html>", 503, "Service Unavailable")},
        {"not XML", exampeer::HttpResponse("garbage")},
        {"wrong response element", Response("tongji2", "<return>x</return>")},
        {"return missing", Response("loginweb", "<other>x</other>")},
        {"return qualified", Response("loginweb", "<ns1:return>x</ns1:return>")},
        {"connection closed without answer", ""},
    };
    for (const auto& c : cases) {
        Answering answer(peer, c.response);
        EXPECT_EQ(lib->logInWeb("a", "b"), 0) << c.what;
        answer.Request();
        EXPECT_EQ(lib->Result(6), "first") << c.what;
    }
    std::string text = err.Text();
    EXPECT_NE(text.find("the response carries no return element"), std::string::npos) << text;
    // One block per failed call, each opened by a line naming the export.
    size_t blocks = 0;
    for (size_t pos = 0; (pos = text.find("skelvin: logInWeb failed", pos)) != std::string::npos; ++pos)
        ++blocks;
    EXPECT_EQ(blocks, std::size(cases));
}

TEST_F(Exports, ConnectionRefusedFails) {
    int port;
    {
        exampeer::RawPeer gone;  // a port that nobody listens on any more
        port = gone.Port();
    }
    lib->SetEndpoint("http://127.0.0.1:" + std::to_string(port) + "/x");
    StderrCapture err;
    EXPECT_EQ(lib->logInWeb("a", "b"), 0);
    EXPECT_EQ(lib->getMsg(), 0);
    EXPECT_NE(err.Text().find("Connection refused"), std::string::npos);
}

TEST_F(Exports, SoapFaultFailsTheCallAndGoesToStandardError) {
    Succeed("kept");
    StderrCapture err;
    Answering answer(peer,
                     exampeer::HttpResponse(
                         exampeer::SoapEnvelope("<SOAP-ENV:Fault><faultcode>SOAP-ENV:Client</faultcode>"
                                                "<faultstring>account locked</faultstring></SOAP-ENV:Fault>",
                                                kNamespace),
                         500, "Internal Server Error"));
    EXPECT_EQ(lib->xiaoTi("a", "b", "c", "d", "e", "f", "g", "h", "i"), 0);
    answer.Request();
    EXPECT_NE(err.Text().find("account locked"), std::string::npos);
    EXPECT_EQ(lib->Result(5), "kept");
}

TEST_F(Exports, UnknownChildrenAroundReturnAreSkipped) {
    lib->SetEndpoint(peer.Url());
    Answering answer(
        peer, Response("xiaotiscore2", "<note>first</note><return>OK 3</return><extra a=\"1\"><x/></extra>"));
    int size = lib->xiaoTiScore("a", "b", "c", "d", "e", "f", "g", "h");
    answer.Request();
    EXPECT_EQ(lib->Result(size), "OK 3");
}

TEST_F(Exports, GetMsgNeverTouchesTheResult) {
    Succeed("stays");
    {
        Answering answer(peer, Response("getmsg", "<return>0</return>"));
        EXPECT_EQ(lib->getMsg(), 1);  // answering is what counts, not the integer
    }
    {
        StderrCapture err;
        Answering answer(peer, exampeer::HttpResponse("", 500, "Internal Server Error"));
        EXPECT_EQ(lib->getMsg(), 0);
    }
    EXPECT_EQ(lib->Result(6), "stays");
}

TEST_F(Exports, NullTextArgumentIsRefusedBeforeAnythingIsSent) {
    Succeed("before");
    StderrCapture err;
    EXPECT_EQ(lib->logInWeb(nullptr, "b"), 0);
    EXPECT_EQ(lib->checkStudent("a", "b", "c", "d", "e", "f", nullptr), 0);
    EXPECT_EQ(lib->xiaoTi("a", "b", "c", "d", nullptr, "f", "g", "h", "i"), 0);
    EXPECT_EQ(lib->xiaoTiScore("a", "b", "c", "d", "e", "f", "g", nullptr), 0);
    EXPECT_EQ(lib->tongJi(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_THROW(peer.Answer("", milliseconds(200)), std::runtime_error);  // no connection came
    EXPECT_NE(err.Text().find("checkStudent: text argument 7 is null"), std::string::npos);
    EXPECT_EQ(lib->Result(7), "before");
}

// --- bounds ----------------------------------------------------------------

TEST_F(Exports, AServiceThatNeverAnswersFailsWithinTheTimeOut) {
    lib.reset();
    setenv("SKELVIN_TEST_IO_TIMEOUT_MS", "300", 1);
    lib = std::make_unique<SkelvinLib>();
    unsetenv("SKELVIN_TEST_IO_TIMEOUT_MS");  // read at load only
    lib->SetEndpoint(peer.Url());
    milliseconds held{0};
    std::thread stall([&] { held = peer.Stall(std::chrono::seconds(20)); });
    StderrCapture err;
    auto start = std::chrono::steady_clock::now();
    int size = lib->logInWeb("a", "b");
    auto took = std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start);
    stall.join();
    EXPECT_EQ(size, 0);
    EXPECT_GE(took.count(), 250);    // it did wait for the answer
    EXPECT_LT(took.count(), 10000);  // and gave up long before the peer did
    EXPECT_LT(held.count(), 10000);  // and closed its end
    EXPECT_NE(err.Text().find("timed out"), std::string::npos) << err.Text();
}

TEST_F(Exports, AResponseOverOneMebibyteIsRefused) {
    Succeed("small");
    StderrCapture err;
    std::string big(1 << 20, 'x');
    Answering answer(peer, Response("loginweb", "<return>" + big + "</return>"));
    EXPECT_EQ(lib->logInWeb("a", "b"), 0);
    answer.Request();
    EXPECT_EQ(lib->Result(6), "small");
    // Just under the cap still passes.
    std::string fits(1 << 19, 'y');
    Answering answer2(peer, Response("loginweb", "<return>" + fits + "</return>"));
    EXPECT_EQ(lib->logInWeb("a", "b"), static_cast<int>(fits.size()) + 1);
}

// --- lifecycle ---------------------------------------------------------------

TEST_F(Exports, UnloadingDropsTheStateAndLoadingStartsAfresh) {
    Succeed("old");
    lib->SetEndpoint("http://127.0.0.1:1/changed");
    lib.reset();
    EXPECT_EQ(dlopen(SKELVIN_LIBRARY_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr) << "library stayed loaded";
    lib = std::make_unique<SkelvinLib>();
    char buffer[8] = "#######";
    EXPECT_EQ(lib->getRet(buffer), 0);
    EXPECT_EQ(lib->Endpoint(), kDefaultEndpoint);
}

}  // namespace
