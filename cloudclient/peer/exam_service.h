// The loopback exam service: the server side generated from the same service
// definition as the client (in its own C++ namespace ExamPeer), answering
// all 23 operations from an ExamStore.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "ExamPeerMarquenServiceSoapBindingService.h"
#include "exam_store.h"

namespace exampeer {

inline constexpr const char* kServicePath = "/qelborn/webservice/examservice";

class ExamService : public ExamPeer::MarquenServiceSoapBindingService {
public:
    explicit ExamService(ExamStore& store);

    // Listens on 127.0.0.1:port (0: the system picks one); returns the port.
    // Throws std::runtime_error when the port cannot be had.
    int Bind(int port);
    // Answers one connection at a time until stop is set; looks at stop at
    // least every 100 ms.
    void Serve(const std::atomic<bool>& stop);

    ExamPeer::MarquenServiceSoapBindingService* copy() override;

    int addexamsubjectkproblem(ExamPeer::ns1__addexamsubjectkproblem*,
                               ExamPeer::ns1__addexamsubjectkproblemResponse*) override;
    int xiaoti2(ExamPeer::ns1__xiaoti2*, ExamPeer::ns1__xiaoti2Response*) override;
    int selectclass(ExamPeer::ns1__selectclass*, ExamPeer::ns1__selectclassResponse*) override;
    int addexamxiaotiscore(ExamPeer::ns1__addexamxiaotiscore*,
                           ExamPeer::ns1__addexamxiaotiscoreResponse*) override;
    int xiaotiscore2(ExamPeer::ns1__xiaotiscore2*, ExamPeer::ns1__xiaotiscore2Response*) override;
    int checkstudentcreate2(ExamPeer::ns1__checkstudentcreate2*,
                            ExamPeer::ns1__checkstudentcreate2Response*) override;
    int loginweb(ExamPeer::ns1__loginweb*, ExamPeer::ns1__loginwebResponse*) override;
    int addexam(ExamPeer::ns1__addexam*, ExamPeer::ns1__addexamResponse*) override;
    int tongji(ExamPeer::ns1__tongji*, ExamPeer::ns1__tongjiResponse*) override;
    int addexamclass(ExamPeer::ns1__addexamclass*, ExamPeer::ns1__addexamclassResponse*) override;
    int addsubject(ExamPeer::ns1__addsubject*, ExamPeer::ns1__addsubjectResponse*) override;
    int addgrade(ExamPeer::ns1__addgrade*, ExamPeer::ns1__addgradeResponse*) override;
    int tongji2(ExamPeer::ns1__tongji2*, ExamPeer::ns1__tongji2Response*) override;
    int xiaoti(ExamPeer::ns1__xiaoti*, ExamPeer::ns1__xiaotiResponse*) override;
    int xiaotiscore(ExamPeer::ns1__xiaotiscore*, ExamPeer::ns1__xiaotiscoreResponse*) override;
    int addexamsubjectzproblem(ExamPeer::ns1__addexamsubjectzproblem*,
                               ExamPeer::ns1__addexamsubjectzproblemResponse*) override;
    int getexamid(ExamPeer::ns1__getexamid*, ExamPeer::ns1__getexamidResponse*) override;
    int addexamsubject(ExamPeer::ns1__addexamsubject*, ExamPeer::ns1__addexamsubjectResponse*) override;
    int selectgrade(ExamPeer::ns1__selectgrade*, ExamPeer::ns1__selectgradeResponse*) override;
    int getmsg(ExamPeer::ns1__getmsg*, ExamPeer::ns1__getmsgResponse*) override;
    int checkstudentcreate(ExamPeer::ns1__checkstudentcreate*,
                           ExamPeer::ns1__checkstudentcreateResponse*) override;
    int selectsubject(ExamPeer::ns1__selectsubject*, ExamPeer::ns1__selectsubjectResponse*) override;
    int addclass(ExamPeer::ns1__addclass*, ExamPeer::ns1__addclassResponse*) override;

private:
    // A fault for a wrong account or password; SOAP_OK when they match.
    int Authorise(const char* account, const char* pwd);
    int Reply(char*& field, const std::string& text);
    template <typename Request>
    int CheckStudent(Request* request, char*& result);
    template <typename Request>
    int Answers(Request* request, char*& result);
    template <typename Request>
    int Scores(Request* request, char*& result);
    template <typename Request>
    int Statistics(Request* request, char*& result);

    ExamStore& store_;
};

// An ExamService on its own thread on an ephemeral loopback port, for tests
// and the benchmark. Stops and joins on destruction.
class LoopbackService {
public:
    LoopbackService();
    ~LoopbackService();
    LoopbackService(const LoopbackService&) = delete;
    LoopbackService& operator=(const LoopbackService&) = delete;

    int Port() const { return port_; }
    std::string Url() const;
    ExamStore& Store() { return store_; }

private:
    ExamStore store_;
    ExamService service_;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace exampeer
