// The generated proxy itself: message shapes that the exports never
// produce (integer fields, omitted fields) and what it makes of responses.
#include <gtest/gtest.h>

#include "MarquenServiceSoapBinding.nsmap"
#include "skelvin_host.h"
#include "soapMarquenServiceSoapBindingProxy.h"

using namespace skelvintest;

namespace {

class ProxyContract : public ::testing::Test {
protected:
    void SetUp() override {
        proxy.recv_timeout = proxy.send_timeout = 5;
        url = peer.Url();
        proxy.soap_endpoint = url.c_str();
    }
    void TearDown() override { proxy.destroy(); }

    exampeer::RawPeer peer;
    std::string url;
    MarquenServiceSoapBindingProxy proxy{SOAP_IO_DEFAULT | SOAP_C_UTFSTRING};
};

TEST_F(ProxyContract, IntegerFieldsAreSentAsIntegersAndNullTextsAreOmitted) {
    ns1__addexamsubject request;
    request.soap_default(&proxy);
    request.examname = 7;
    request.gradename = -2;
    char subject[] = "数学", pwd[] = "";
    request.examsubject = subject;
    request.accountname = nullptr;
    request.pwd = pwd;
    ns1__addexamsubjectResponse response;
    Answering answer(peer, Response("addexamsubject", "<return>OK 1</return>"));
    ASSERT_EQ(proxy.addexamsubject(&request, &response), SOAP_OK);
    EXPECT_EQ(answer.Request(),
              ExpectedRequest(peer,
                              "<ns1:addexamsubject><examname>7</examname><gradename>-2</gradename>"
                              "<examsubject>数学</examsubject><pwd/></ns1:addexamsubject>"));
    ASSERT_NE(response.return_, nullptr);
    EXPECT_STREQ(response.return_, "OK 1");
}

TEST_F(ProxyContract, IntegerFieldsComeFirstOrLastAsDeclared) {
    ns1__selectclass request;
    request.soap_default(&proxy);
    char account[] = "a";
    request.accountname = account;
    request.gradeid = 2147483647;
    ns1__selectclassResponse response;
    Answering answer(peer, Response("selectclass", "<return/>"));
    ASSERT_EQ(proxy.selectclass(&request, &response), SOAP_OK);
    EXPECT_EQ(answer.Request(),
              ExpectedRequest(peer,
                              "<ns1:selectclass><accountname>a</accountname><gradeid>2147483647</gradeid>"
                              "</ns1:selectclass>"));
}

TEST_F(ProxyContract, IntegerReturnIsReadAndStaysZeroWhenAbsent) {
    ns1__getexamid request;
    request.soap_default(&proxy);
    ns1__getexamidResponse response;
    {
        Answering answer(peer, Response("getexamid", "<skip>1</skip><return>42</return>"));
        ASSERT_EQ(proxy.getexamid(&request, &response), SOAP_OK);
        EXPECT_EQ(response.return_, 42);
    }
    {
        Answering answer(peer, Response("getexamid", ""));
        ASSERT_EQ(proxy.getexamid(&request, &response), SOAP_OK);
        EXPECT_EQ(response.return_, 0);
    }
}

TEST_F(ProxyContract, MissingOrQualifiedTextReturnIsNullWithStatusOk) {
    ns1__tongji2 request;
    request.soap_default(&proxy);
    ns1__tongji2Response response;
    for (const char* children : {"", "<ns1:return>x</ns1:return>"}) {
        Answering answer(peer, Response("tongji2", children));
        EXPECT_EQ(proxy.tongji2(&request, &response), SOAP_OK) << children;
        EXPECT_EQ(response.return_, nullptr) << children;
    }
}

TEST_F(ProxyContract, FaultStatusAndStringAreAvailable) {
    ns1__addgrade request;
    request.soap_default(&proxy);
    ns1__addgradeResponse response;
    Answering answer(peer, exampeer::HttpResponse(
                               exampeer::SoapEnvelope("<SOAP-ENV:Fault><faultcode>SOAP-ENV:Server</faultcode>"
                                                      "<faultstring>grade exists</faultstring>"
                                                      "<detail>id 3</detail></SOAP-ENV:Fault>",
                                                      kNamespace),
                               500, "Internal Server Error"));
    EXPECT_EQ(proxy.addgrade(&request, &response), SOAP_SVR_FAULT);  // from faultcode Server
    ASSERT_NE(proxy.soap_fault_string(), nullptr);
    EXPECT_STREQ(proxy.soap_fault_string(), "grade exists");
    char text[512];
    proxy.soap_sprint_fault(text, sizeof text);
    EXPECT_NE(std::string(text).find("grade exists"), std::string::npos);
}

TEST_F(ProxyContract, AnEndpointOverrideHoldsForLaterCalls) {
    proxy.soap_endpoint = nullptr;
    ns1__getmsg request;
    request.soap_default(&proxy);
    ns1__getmsgResponse response;
    {
        Answering answer(peer, Response("getmsg", "<return>1</return>"));
        ASSERT_EQ(proxy.getmsg(url.c_str(), nullptr, &request, &response), SOAP_OK);
    }
    EXPECT_STREQ(proxy.soap_endpoint, url.c_str());
    Answering answer(peer, Response("getmsg", "<return>1</return>"));
    EXPECT_EQ(proxy.getmsg(&request, &response), SOAP_OK);  // no override: the same peer
    EXPECT_NE(answer.Request().find("<ns1:getmsg>"), std::string::npos);
}

TEST_F(ProxyContract, WithoutEndpointTheBuiltInDefaultIsStored) {
    // The engine's connect hook records where it would go and refuses, so
    // nothing leaves the machine whatever host the build names.
    static std::string connectedTo;
    proxy.fopen = [](soap* engine, const char* endpoint, const char*, int) -> SOAP_SOCKET {
        connectedTo = endpoint;
        engine->error = SOAP_TCP_ERROR;
        return SOAP_INVALID_SOCKET;
    };
    proxy.soap_endpoint = nullptr;
    ns1__getmsg request;
    request.soap_default(&proxy);
    ns1__getmsgResponse response;
    EXPECT_NE(proxy.getmsg(&request, &response), SOAP_OK);
    EXPECT_EQ(connectedTo, kDefaultEndpoint);
    EXPECT_EQ(std::string(proxy.soap_endpoint), kDefaultEndpoint);
}

TEST_F(ProxyContract, WithoutResponseObjectTheRequestIsOnlySent) {
    ns1__loginweb request;
    request.soap_default(&proxy);
    char name[] = "n";
    request.accountname = name;
    Answering answer(peer, "");
    EXPECT_EQ(proxy.loginweb(&request, nullptr), SOAP_OK);
    EXPECT_EQ(answer.Request(),
              ExpectedRequest(peer, "<ns1:loginweb><accountname>n</accountname></ns1:loginweb>"));
}

}  // namespace
