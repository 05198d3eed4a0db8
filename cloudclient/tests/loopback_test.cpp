// A host's whole session against the loopback exam service: what the
// library sends is what the service stores, and what it answers is what the
// host reads back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "exam_service.h"
#include "skelvin_host.h"

using namespace skelvintest;

namespace {

class Loopback : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("LC_ALL", "C.UTF-8", 1);
        service.Store().AddAccount("王老师", "密码1");
        lib = std::make_unique<SkelvinLib>();
        ASSERT_NE(lib->handle, nullptr);
        lib->SetEndpoint(service.Url());
    }

    exampeer::LoopbackService service;
    std::unique_ptr<SkelvinLib> lib;
};

TEST_F(Loopback, LoginChecksTheAccount) {
    int size = lib->logInWeb("王老师", "密码1");
    EXPECT_EQ(lib->Result(size), "OK");
    size = lib->logInWeb("王老师", "wrong");
    EXPECT_EQ(lib->Result(size), "ERROR: unknown account or wrong password");
    EXPECT_EQ(lib->getMsg(), 1);
}

TEST_F(Loopback, StudentIsCreatedOnceThenFound) {
    int size = lib->checkStudent("王老师", "密码1", "第一中学", "期中", "数学", "20261001", "2026-12-08");
    EXPECT_EQ(lib->Result(size), "CREATED 20261001");
    size = lib->checkStudent("王老师", "密码1", "第一中学", "期中", "数学", "20261001", "2026-12-08");
    EXPECT_EQ(lib->Result(size), "EXISTS 20261001");
    size = lib->checkStudent("王老师", "密码1", "第一中学", "期中", "语文", "20261001", "2026-12-08");
    EXPECT_EQ(lib->Result(size), "CREATED 20261001");
    EXPECT_EQ(service.Store().StudentCount({"第一中学", "期中", "数学"}), 1u);
}

TEST_F(Loopback, AnswersAndScoresArriveUnchanged) {
    const char* kproblem = "1:A;2:BC;3:<D>&\"E\"";
    const char* zproblem = "13:解答题 8分";
    int size = lib->xiaoTi("王老师", "密码1", "一中", "期末", "高一", "物理", "2026-12-08 10:00", kproblem,
                           zproblem);
    EXPECT_EQ(lib->Result(size), "OK");
    size =
        lib->xiaoTiScore("王老师", "密码1", "一中", "期末", "高一", "物理", "2026-12-08 10:05", "1001:3,0,5");
    EXPECT_EQ(lib->Result(size), "OK 1");
    size =
        lib->xiaoTiScore("王老师", "密码1", "一中", "期末", "高一", "物理", "2026-12-08 10:06", "1002:1,1,1");
    EXPECT_EQ(lib->Result(size), "OK 2");

    auto answers = service.Store().Answers({"一中", "期末", "高一", "物理"});
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].kproblem, kproblem);
    EXPECT_EQ(answers[0].zproblem, zproblem);
    EXPECT_EQ(answers[0].datetime, "2026-12-08 10:00");
    auto scores = service.Store().Scores({"一中", "期末", "高一", "物理"});
    ASSERT_EQ(scores.size(), 2u);
    EXPECT_EQ(scores[1].scores, "1002:1,1,1");
}

TEST_F(Loopback, StatisticsTextComesBackInChinese) {
    lib->checkStudent("王老师", "密码1", "一中", "期末", "物理", "1001", "");
    lib->checkStudent("王老师", "密码1", "一中", "期末", "物理", "1002", "");
    lib->xiaoTiScore("王老师", "密码1", "一中", "期末", "高一", "物理", "", "1001:1");
    int size = lib->tongJi("王老师", "密码1", "一中", "期末", "高一", "物理");
    EXPECT_EQ(lib->Result(size), "学校=一中;考试=期末;年级=高一;科目=物理;考生=2;小题=0;成绩=1");
}

TEST_F(Loopback, ServiceFaultForBadCredentialsFailsTheCall) {
    int size = lib->logInWeb("王老师", "密码1");
    ASSERT_EQ(size, 3);
    StderrCapture err;
    EXPECT_EQ(lib->tongJi("王老师", "bad", "", "", "", ""), 0);
    EXPECT_EQ(lib->checkStudent("nobody", "", "", "", "", "1", ""), 0);
    EXPECT_EQ(lib->Result(size), "OK");
    std::string text = err.Text();
    EXPECT_NE(text.find("skelvin: tongJi failed"), std::string::npos) << text;
    EXPECT_NE(text.find("unknown account or wrong password"), std::string::npos) << text;
}

TEST_F(Loopback, ManyCallsInARowAllSucceed) {
    for (int i = 0; i < 200; ++i) {
        int size = lib->logInWeb("王老师", "密码1");
        ASSERT_EQ(size, 3) << "call " << i;
        ASSERT_EQ(lib->Result(size), "OK");
    }
}

// The program a demo starts: exam-service with its own accounts, on a port
// the system picks, announced on its first line.
TEST(ExamServiceProgram, ServesOnTheAnnouncedPortAndStopsOnSigterm) {
    setenv("LC_ALL", "C.UTF-8", 1);
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        execl(EXAM_SERVICE_PATH, EXAM_SERVICE_PATH, "--port", "0", "--account", "li:pw", nullptr);
        _exit(127);
    }
    close(out[1]);
    FILE* announced = fdopen(out[0], "r");
    char line[256] = "";
    ASSERT_NE(fgets(line, sizeof line, announced), nullptr);
    std::string url(line);
    url.erase(url.find_last_not_of("\r\n") + 1);
    EXPECT_EQ(url.rfind("http://127.0.0.1:", 0), 0u) << url;

    {
        SkelvinLib lib;
        lib.SetEndpoint(url);
        EXPECT_EQ(lib.getMsg(), 1);
        EXPECT_EQ(lib.Result(lib.logInWeb("li", "pw")), "OK");
        EXPECT_EQ(lib.Result(lib.logInWeb("demo", "demo")), "ERROR: unknown account or wrong password");
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    fclose(announced);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(ExamServiceProgram, RejectsBadArguments) {
    for (const char* args : {"--port x", "--port 70000", "--account nocolon", "--bogus"}) {
        std::string cmd = std::string(EXAM_SERVICE_PATH) + " " + args + " 2>/dev/null";
        int status = std::system(cmd.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << args;
    }
}

}  // namespace
