// The exact bytes that each export puts on the wire, seen by a raw peer.
#include <gtest/gtest.h>

#include <cstdlib>

#include "skelvin_host.h"

using namespace skelvintest;

namespace {

class WireFormat : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("LC_ALL", "C.UTF-8", 1);
        lib = std::make_unique<SkelvinLib>();
        ASSERT_NE(lib->handle, nullptr);
        lib->SetEndpoint(peer.Url());
    }

    exampeer::RawPeer peer;
    std::unique_ptr<SkelvinLib> lib;
};

TEST_F(WireFormat, LoginwebSendsBothFieldsAndAnEmptyTextAsEmptyElement) {
    Answering answer(peer, Response("loginweb", "<return>OK</return>"));
    int size = lib->logInWeb("teacher01", "");
    EXPECT_EQ(
        answer.Request(),
        ExpectedRequest(peer, "<ns1:loginweb><accountname>teacher01</accountname><pwd/></ns1:loginweb>"));
    EXPECT_EQ(size, 3);
    EXPECT_EQ(lib->Result(size), "OK");
}

TEST_F(WireFormat, GetmsgSendsAnEmptyElementAndReadsAnIntegerReturn) {
    Answering answer(peer, Response("getmsg", "<return>1</return>"));
    EXPECT_EQ(lib->getMsg(), 1);
    EXPECT_EQ(answer.Request(), ExpectedRequest(peer, "<ns1:getmsg></ns1:getmsg>"));
}

TEST_F(WireFormat, CheckStudentSendsCheckstudentcreate2FieldsInOrder) {
    Answering answer(peer, Response("checkstudentcreate2", "<return>CREATED 1001</return>"));
    int size = lib->checkStudent("acc", "pw", "school", "exam", "math", "1001", "2026-12-08 09:30:00");
    EXPECT_EQ(answer.Request(),
              ExpectedRequest(peer,
                              "<ns1:checkstudentcreate2><account>acc</account><pwd>pw</pwd>"
                              "<schoolname>school</schoolname><examname>exam</examname>"
                              "<subjectname>math</subjectname><studentnum>1001</studentnum>"
                              "<datetime>2026-12-08 09:30:00</datetime></ns1:checkstudentcreate2>"));
    EXPECT_EQ(lib->Result(size), "CREATED 1001");
}

TEST_F(WireFormat, XiaoTiSendsXiaoti2FieldsInOrder) {
    Answering answer(peer, Response("xiaoti2", "<return>OK</return>"));
    lib->xiaoTi("acc", "pw", "s", "e", "g", "sub", "dt", "1:A,2:B", "3:5");
    EXPECT_EQ(answer.Request(),
              ExpectedRequest(peer,
                              "<ns1:xiaoti2><account>acc</account><pwd>pw</pwd><schoolname>s</schoolname>"
                              "<examname>e</examname><gradename>g</gradename><subjectname>sub</subjectname>"
                              "<datetime>dt</datetime><kproblem>1:A,2:B</kproblem><zproblem>3:5</zproblem>"
                              "</ns1:xiaoti2>"));
}

TEST_F(WireFormat, XiaoTiScoreSendsXiaotiscore2FieldsInOrder) {
    Answering answer(peer, Response("xiaotiscore2", "<return>OK 1</return>"));
    lib->xiaoTiScore("acc", "pw", "s", "e", "g", "sub", "dt", "1001:2,3,0");
    EXPECT_EQ(
        answer.Request(),
        ExpectedRequest(peer,
                        "<ns1:xiaotiscore2><account>acc</account><pwd>pw</pwd><schoolname>s</schoolname>"
                        "<examname>e</examname><gradename>g</gradename><subjectname>sub</subjectname>"
                        "<datetime>dt</datetime><studentxiaotiscore>1001:2,3,0</studentxiaotiscore>"
                        "</ns1:xiaotiscore2>"));
}

TEST_F(WireFormat, TongJiSendsTongji2ArgumentsInOrder) {
    Answering answer(peer, Response("tongji2", "<return>n=0</return>"));
    lib->tongJi("a0", "a1", "", "a3", "a4", "a5");
    EXPECT_EQ(answer.Request(),
              ExpectedRequest(peer,
                              "<ns1:tongji2><arg0>a0</arg0><arg1>a1</arg1><arg2/><arg3>a3</arg3>"
                              "<arg4>a4</arg4><arg5>a5</arg5></ns1:tongji2>"));
}

TEST_F(WireFormat, MarkupCharactersAreEscaped) {
    Answering answer(peer, Response("loginweb", "<return>a&lt;b&amp;c</return>"));
    int size = lib->logInWeb("x<y&z>", "p");
    EXPECT_EQ(answer.Request(),
              ExpectedRequest(peer,
                              "<ns1:loginweb><accountname>x&lt;y&amp;z&gt;</accountname><pwd>p</pwd>"
                              "</ns1:loginweb>"));
    EXPECT_EQ(lib->Result(size), "a<b&c");
}

// Chinese texts travel as their UTF-8 bytes, neither as character references
// nor byte by byte as Latin-1 characters, and come back the same way.
TEST_F(WireFormat, ChineseTextTravelsAsUtf8BothWays) {
    Answering answer(peer, Response("checkstudentcreate2", "<return>已创建 张三</return>"));
    int size = lib->checkStudent("老师", "密码", "第一中学", "期中考试", "数学", "张三", "");
    EXPECT_EQ(answer.Request(),
              ExpectedRequest(peer,
                              "<ns1:checkstudentcreate2><account>老师</account><pwd>密码</pwd>"
                              "<schoolname>第一中学</schoolname><examname>期中考试</examname>"
                              "<subjectname>数学</subjectname><studentnum>张三</studentnum>"
                              "<datetime/></ns1:checkstudentcreate2>"));
    EXPECT_EQ(lib->Result(size), "已创建 张三");
}

TEST_F(WireFormat, LogInWebSendsNonAsciiNamesAsUtf8) {
    Answering answer(peer, Response("loginweb", "<return>OK</return>"));
    lib->logInWeb("王老师", "pw");
    EXPECT_NE(answer.Request().find("<accountname>王老师</accountname>"), std::string::npos);
}

TEST_F(WireFormat, CharacterReferencesInTheResponseArriveAsUtf8) {
    Answering answer(peer, Response("tongji2", "<return>&#x4E2D;&#25991;</return>"));
    int size = lib->tongJi("", "", "", "", "", "");
    answer.Request();
    EXPECT_EQ(lib->Result(size), "中文");
}

// A byte sequence that is not UTF-8 in a UTF-8 locale must not make the
// message ill-formed: it goes out as U+FFFD.
TEST_F(WireFormat, MalformedInputBytesGoOutAsReplacementCharacters) {
    Answering answer(peer, Response("loginweb", "<return>OK</return>"));
    lib->logInWeb("ab\xC3", "\xFF");
    EXPECT_NE(answer.Request().find("<accountname>ab\xEF\xBF\xBD</accountname><pwd>\xEF\xBF\xBD</pwd>"),
              std::string::npos);
}

}  // namespace
