#include "exam_service.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <stdexcept>

#include "MarquenServiceSoapBinding.nsmap"  // the engine's global namespace table

namespace exampeer {
namespace {

std::string Str(const char* text) {
    return text != nullptr ? text : "";
}

std::string Outcome(int id, const std::string& what) {
    return id > 0 ? "OK " + std::to_string(id) : "ERROR: " + what;
}

}  // namespace

ExamService::ExamService(ExamStore& store)
    : MarquenServiceSoapBindingService(SOAP_IO_DEFAULT | SOAP_C_UTFSTRING), store_(store) {
    // A client that stops talking must not block the next one for long.
    recv_timeout = 5;
    send_timeout = 5;
    socket_flags = MSG_NOSIGNAL;
    bind_flags = SO_REUSEADDR;
}

ExamPeer::MarquenServiceSoapBindingService* ExamService::copy() {
    return new ExamService(store_);
}

int ExamService::Bind(int port) {
    if (!soap_valid_socket(soap_bind(this, "127.0.0.1", port, 128)))
        throw std::runtime_error("exam-service: cannot listen on 127.0.0.1:" + std::to_string(port));
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    getsockname(master, reinterpret_cast<sockaddr*>(&addr), &len);
    return ntohs(addr.sin_port);
}

void ExamService::Serve(const std::atomic<bool>& stop) {
    accept_timeout = -100000;  // 100 ms, in microseconds
    while (!stop) {
        if (!soap_valid_socket(accept())) {
            if (errnum == 0) continue;  // time-out: look at stop again
            break;
        }
        serve();  // a failed request only ends its own connection
        destroy();
    }
}

int ExamService::Authorise(const char* account, const char* pwd) {
    if (store_.Authenticate(Str(account), Str(pwd))) return SOAP_OK;
    return soap_senderfault("unknown account or wrong password", nullptr);
}

int ExamService::Reply(char*& field, const std::string& text) {
    field = soap_strdup(this, text.c_str());
    return SOAP_OK;
}

template <typename Request>
int ExamService::CheckStudent(Request* rq, char*& result) {
    if (int rc = Authorise(rq->account, rq->pwd)) return rc;
    if (Str(rq->studentnum).empty()) return Reply(result, "ERROR: empty student number");
    bool created = store_.CheckInStudent({Str(rq->schoolname), Str(rq->examname), Str(rq->subjectname)},
                                         Str(rq->studentnum));
    return Reply(result, (created ? "CREATED " : "EXISTS ") + Str(rq->studentnum));
}

template <typename Request>
int ExamService::Answers(Request* rq, char*& result) {
    if (int rc = Authorise(rq->account, rq->pwd)) return rc;
    store_.AddAnswers({Str(rq->schoolname), Str(rq->examname), Str(rq->gradename), Str(rq->subjectname)},
                      {Str(rq->datetime), Str(rq->kproblem), Str(rq->zproblem)});
    return Reply(result, "OK");
}

template <typename Request>
int ExamService::Scores(Request* rq, char*& result) {
    if (int rc = Authorise(rq->account, rq->pwd)) return rc;
    size_t count =
        store_.AddScores({Str(rq->schoolname), Str(rq->examname), Str(rq->gradename), Str(rq->subjectname)},
                         {Str(rq->datetime), Str(rq->studentxiaotiscore)});
    return Reply(result, "OK " + std::to_string(count));
}

// arg0 and arg1 are the account and password; arg2 to arg5 name the school,
// exam, grade and subject.
template <typename Request>
int ExamService::Statistics(Request* rq, char*& result) {
    if (int rc = Authorise(rq->arg0, rq->arg1)) return rc;
    return Reply(result, store_.Statistics({Str(rq->arg2), Str(rq->arg3), Str(rq->arg4), Str(rq->arg5)}));
}

int ExamService::loginweb(ExamPeer::ns1__loginweb* rq, ExamPeer::ns1__loginwebResponse* rs) {
    bool ok = store_.Authenticate(Str(rq->accountname), Str(rq->pwd));
    return Reply(rs->return_, ok ? "OK" : "ERROR: unknown account or wrong password");
}

int ExamService::getmsg(ExamPeer::ns1__getmsg*, ExamPeer::ns1__getmsgResponse* rs) {
    rs->return_ = 1;
    return SOAP_OK;
}

int ExamService::checkstudentcreate2(ExamPeer::ns1__checkstudentcreate2* rq,
                                     ExamPeer::ns1__checkstudentcreate2Response* rs) {
    return CheckStudent(rq, rs->return_);
}

int ExamService::checkstudentcreate(ExamPeer::ns1__checkstudentcreate* rq,
                                    ExamPeer::ns1__checkstudentcreateResponse* rs) {
    return CheckStudent(rq, rs->return_);
}

int ExamService::xiaoti2(ExamPeer::ns1__xiaoti2* rq, ExamPeer::ns1__xiaoti2Response* rs) {
    return Answers(rq, rs->return_);
}

int ExamService::xiaoti(ExamPeer::ns1__xiaoti* rq, ExamPeer::ns1__xiaotiResponse* rs) {
    return Answers(rq, rs->return_);
}

int ExamService::xiaotiscore2(ExamPeer::ns1__xiaotiscore2* rq, ExamPeer::ns1__xiaotiscore2Response* rs) {
    return Scores(rq, rs->return_);
}

int ExamService::xiaotiscore(ExamPeer::ns1__xiaotiscore* rq, ExamPeer::ns1__xiaotiscoreResponse* rs) {
    return Scores(rq, rs->return_);
}

int ExamService::tongji2(ExamPeer::ns1__tongji2* rq, ExamPeer::ns1__tongji2Response* rs) {
    return Statistics(rq, rs->return_);
}

int ExamService::tongji(ExamPeer::ns1__tongji* rq, ExamPeer::ns1__tongjiResponse* rs) {
    return Statistics(rq, rs->return_);
}

int ExamService::addgrade(ExamPeer::ns1__addgrade* rq, ExamPeer::ns1__addgradeResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    return Reply(rs->return_, Outcome(store_.AddGrade(Str(rq->gradename)), "no grade"));
}

int ExamService::addsubject(ExamPeer::ns1__addsubject* rq, ExamPeer::ns1__addsubjectResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    return Reply(rs->return_, Outcome(store_.AddSubject(rq->gradeid, Str(rq->subjectname)),
                                      "no grade " + std::to_string(rq->gradeid)));
}

int ExamService::addclass(ExamPeer::ns1__addclass* rq, ExamPeer::ns1__addclassResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    return Reply(rs->return_, Outcome(store_.AddClass(rq->gradeid, Str(rq->classname)),
                                      "no grade " + std::to_string(rq->gradeid)));
}

int ExamService::addexam(ExamPeer::ns1__addexam* rq, ExamPeer::ns1__addexamResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    return Reply(rs->return_, Outcome(store_.AddExam(Str(rq->examname), rq->gradeid),
                                      "no grade " + std::to_string(rq->gradeid)));
}

int ExamService::addexamclass(ExamPeer::ns1__addexamclass* rq, ExamPeer::ns1__addexamclassResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    bool ok = store_.AddExamClasses(rq->examid, Str(rq->examclassids));
    return Reply(rs->return_, ok ? "OK" : "ERROR: no exam " + std::to_string(rq->examid));
}

int ExamService::addexamsubject(ExamPeer::ns1__addexamsubject* rq,
                                ExamPeer::ns1__addexamsubjectResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    int id = store_.AddExamSubject(rq->examname, rq->gradename, Str(rq->examsubject));
    return Reply(rs->return_, Outcome(id, "no exam " + std::to_string(rq->examname) + " in grade " +
                                              std::to_string(rq->gradename)));
}

int ExamService::addexamsubjectkproblem(ExamPeer::ns1__addexamsubjectkproblem* rq,
                                        ExamPeer::ns1__addexamsubjectkproblemResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    bool ok = store_.AddExamProblems(rq->examname, rq->examsubject, 'k', Str(rq->kproblem));
    return Reply(rs->return_, ok ? "OK" : "ERROR: no such exam subject");
}

int ExamService::addexamsubjectzproblem(ExamPeer::ns1__addexamsubjectzproblem* rq,
                                        ExamPeer::ns1__addexamsubjectzproblemResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    bool ok = store_.AddExamProblems(rq->examname, rq->examsubject, 'z', Str(rq->zproblem));
    return Reply(rs->return_, ok ? "OK" : "ERROR: no such exam subject");
}

int ExamService::addexamxiaotiscore(ExamPeer::ns1__addexamxiaotiscore* rq,
                                    ExamPeer::ns1__addexamxiaotiscoreResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    bool ok = store_.AddExamScores(rq->examname, rq->subjectname, Str(rq->scorestr));
    return Reply(rs->return_, ok ? "OK" : "ERROR: no such exam subject");
}

int ExamService::getexamid(ExamPeer::ns1__getexamid* rq, ExamPeer::ns1__getexamidResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    rs->return_ = store_.ExamId(Str(rq->examname));
    return SOAP_OK;
}

int ExamService::selectgrade(ExamPeer::ns1__selectgrade* rq, ExamPeer::ns1__selectgradeResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    return Reply(rs->return_, store_.Grades());
}

int ExamService::selectsubject(ExamPeer::ns1__selectsubject* rq, ExamPeer::ns1__selectsubjectResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    return Reply(rs->return_, store_.Subjects(rq->gradeid));
}

int ExamService::selectclass(ExamPeer::ns1__selectclass* rq, ExamPeer::ns1__selectclassResponse* rs) {
    if (int rc = Authorise(rq->accountname, rq->pwd)) return rc;
    return Reply(rs->return_, store_.Classes(rq->gradeid));
}

LoopbackService::LoopbackService() : service_(store_) {
    port_ = service_.Bind(0);
    thread_ = std::thread([this] { service_.Serve(stop_); });
}

LoopbackService::~LoopbackService() {
    stop_ = true;
    thread_.join();
}

std::string LoopbackService::Url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + kServicePath;
}

}  // namespace exampeer
