// State of the cloud exam client: the one service proxy, the result text of
// the last successful data call and the endpoint the host set.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>

#include "vazplatform/codepage.h"

class MarquenServiceSoapBindingProxy;

// Limits of one exchange. A dead or endless service must fail the call, not
// hang the host: the engine's defaults wait forever and accept any size.
struct ExchangeLimits {
    int connectTimeoutS = 10;
    int sendTimeoutS = 30;
    int recvTimeoutS = 30;
    int transferTimeoutS = 120;  // whole message, against a service that trickles
    size_t maxReceived = 1 << 20;
};

class CSkelvinApp {
public:
    // Creates the proxy (engine in UTF-8 string mode with the limits above,
    // endpoint not yet set) and looks the process code page up.
    CSkelvinApp();
    ~CSkelvinApp();
    CSkelvinApp(const CSkelvinApp&) = delete;
    CSkelvinApp& operator=(const CSkelvinApp&) = delete;

    // Points the proxy at the default endpoint fixed at build time.
    void InitInstance();

    bool GetMsg();
    int LogInWeb(const char* accountname, const char* pwd);
    int CheckStudent(const char* account, const char* pwd, const char* schoolname, const char* examname,
                     const char* subjectname, const char* studentnum, const char* datetime);
    int XiaoTi(const char* account, const char* pwd, const char* schoolname, const char* examname,
               const char* gradename, const char* subjectname, const char* datetime, const char* kproblem,
               const char* zproblem);
    int XiaoTiScore(const char* account, const char* pwd, const char* schoolname, const char* examname,
                    const char* gradename, const char* subjectname, const char* datetime,
                    const char* studentxiaotiscore);
    int TongJi(const char* arg0, const char* arg1, const char* arg2, const char* arg3, const char* arg4,
               const char* arg5);
    bool GetRet(char* buffer) const;
    int SetEndPoint(char* text, bool set);

private:
    // One data call: argument k fills request field k.
    template <typename Request, typename Response, size_t N>
    int DataCall(const char* exportName,
                 int (MarquenServiceSoapBindingProxy::*operation)(Request*, Response*),
                 const std::array<char * Request::*, N>& fields, const std::array<const char*, N>& texts);
    void ApplyLimits();
    void ReportFault(const char* exportName);
    const char* CurrentEndpoint() const;

    std::unique_ptr<MarquenServiceSoapBindingProxy> proxy_;
    std::unique_ptr<char[]> result_;  // last result text, NUL-terminated, in the code page
    size_t resultSize_ = 0;           // its size including the NUL
    std::string endpoint_;            // what Set_EndPoint stored; the proxy points at it
    vazplat::CodePage codePage_;
    ExchangeLimits limits_;
};
