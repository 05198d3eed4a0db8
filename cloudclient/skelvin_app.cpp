#include "skelvin_app.h"

#include <sys/socket.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "soapMarquenServiceSoapBindingProxy.h"

using Proxy = MarquenServiceSoapBindingProxy;

namespace {

// Test hook: a positive number of milliseconds in this variable, read once at
// load, shortens every time-out of the exchange. It can only shorten them, so
// it never lets a host wait longer than the limits below.
constexpr const char* kTimeoutHook = "SKELVIN_TEST_IO_TIMEOUT_MS";

// The engine takes positive time-outs in seconds and negative ones in
// microseconds.
int Shortened(int seconds, long hookMs) {
    if (hookMs <= 0 || hookMs >= seconds * 1000L) return seconds;
    return static_cast<int>(-hookMs * 1000);
}

// The library's one way to standard error: whole lines, flushed.
void Log(const std::string& lines) {
    std::cerr << lines;
    std::cerr.flush();
}

}  // namespace

CSkelvinApp::CSkelvinApp() : proxy_(std::make_unique<Proxy>(SOAP_IO_DEFAULT | SOAP_C_UTFSTRING)) {
    // UTF-8 string mode: outgoing bytes go on the wire unchanged and incoming
    // UTF-8 is stored byte for byte, so the texts converted from and to the
    // code page below are exactly what the service sends and receives.
    if (const char* hook = std::getenv(kTimeoutHook)) {
        long ms = std::strtol(hook, nullptr, 10);
        limits_.connectTimeoutS = Shortened(limits_.connectTimeoutS, ms);
        limits_.sendTimeoutS = Shortened(limits_.sendTimeoutS, ms);
        limits_.recvTimeoutS = Shortened(limits_.recvTimeoutS, ms);
        limits_.transferTimeoutS = Shortened(limits_.transferTimeoutS, ms);
    }
    ApplyLimits();
}

CSkelvinApp::~CSkelvinApp() = default;

void CSkelvinApp::InitInstance() {
    endpoint_ = SKELVIN_DEFAULT_ENDPOINT;
    proxy_->soap_endpoint = endpoint_.c_str();
}

void CSkelvinApp::ApplyLimits() {
    proxy_->connect_timeout = limits_.connectTimeoutS;
    proxy_->send_timeout = limits_.sendTimeoutS;
    proxy_->recv_timeout = limits_.recvTimeoutS;
    proxy_->transfer_timeout = limits_.transferTimeoutS;
    proxy_->recv_maxlength = limits_.maxReceived;
    // A service that drops the connection must fail the call, not kill the
    // host with SIGPIPE.
    proxy_->socket_flags = MSG_NOSIGNAL;
}

const char* CSkelvinApp::CurrentEndpoint() const {
    return proxy_->soap_endpoint != nullptr ? proxy_->soap_endpoint : "";
}

void CSkelvinApp::ReportFault(const char* exportName) {
    std::ostringstream fault;
    proxy_->soap_stream_fault(fault);
    Log(std::string("skelvin: ") + exportName + " failed (" + CurrentEndpoint() + ")\n" + fault.str());
}

template <typename Request, typename Response, size_t N>
int CSkelvinApp::DataCall(const char* exportName, int (Proxy::*operation)(Request*, Response*),
                          const std::array<char * Request::*, N>& fields,
                          const std::array<const char*, N>& texts) {
    for (size_t k = 0; k < N; ++k) {
        if (texts[k] == nullptr) {
            Log(std::string("skelvin: ") + exportName + ": text argument " + std::to_string(k + 1) +
                " is null, nothing sent\n");
            return 0;
        }
    }
    // Every field is sent, an empty text as an empty element.
    std::array<std::string, N> copies;
    Request request;
    request.soap_default(proxy_.get());
    for (size_t k = 0; k < N; ++k) {
        copies[k] = codePage_.ToUtf8(texts[k]);
        request.*fields[k] = copies[k].data();
    }
    Response response;
    int status = ((*proxy_).*operation)(&request, &response);
    if (status != SOAP_OK) {
        ReportFault(exportName);
        proxy_->destroy();
        return 0;
    }
    if (response.return_ == nullptr) {
        // An absent or foreign-qualified "return" parses as null with status
        // OK; that is no answer, and the last result stays.
        Log(std::string("skelvin: ") + exportName + " failed (" + CurrentEndpoint() +
            ")\nthe response carries no return element\n");
        proxy_->destroy();
        return 0;
    }
    std::string text = codePage_.FromUtf8(response.return_);
    // What the engine deserialised is freed once the text is copied, so a
    // long-running host does not grow with every exchange.
    proxy_->destroy();
    text.resize(std::strlen(text.c_str()));                   // the text ends at its first NUL
    auto buffer = std::make_unique<char[]>(text.size() + 1);  // zeroed
    std::memcpy(buffer.get(), text.data(), text.size());
    result_ = std::move(buffer);
    resultSize_ = text.size() + 1;
    return static_cast<int>(resultSize_);
}

bool CSkelvinApp::GetMsg() {
    ns1__getmsg request;
    request.soap_default(proxy_.get());
    ns1__getmsgResponse response;
    int status = proxy_->getmsg(&request, &response);
    if (status != SOAP_OK) ReportFault("getMsg");
    proxy_->destroy();
    return status == SOAP_OK;
}

int CSkelvinApp::LogInWeb(const char* accountname, const char* pwd) {
    // Converted like every other call: ASCII names travel exactly as before,
    // and non-ASCII ones arrive as the characters the host meant.
    return DataCall<ns1__loginweb, ns1__loginwebResponse, 2>(
        "logInWeb", &Proxy::loginweb, {&ns1__loginweb::accountname, &ns1__loginweb::pwd}, {accountname, pwd});
}

int CSkelvinApp::CheckStudent(const char* account, const char* pwd, const char* schoolname,
                              const char* examname, const char* subjectname, const char* studentnum,
                              const char* datetime) {
    using R = ns1__checkstudentcreate2;
    return DataCall<R, ns1__checkstudentcreate2Response, 7>(
        "checkStudent", &Proxy::checkstudentcreate2,
        {&R::account, &R::pwd, &R::schoolname, &R::examname, &R::subjectname, &R::studentnum, &R::datetime},
        {account, pwd, schoolname, examname, subjectname, studentnum, datetime});
}

int CSkelvinApp::XiaoTi(const char* account, const char* pwd, const char* schoolname, const char* examname,
                        const char* gradename, const char* subjectname, const char* datetime,
                        const char* kproblem, const char* zproblem) {
    using R = ns1__xiaoti2;
    return DataCall<R, ns1__xiaoti2Response, 9>(
        "xiaoTi", &Proxy::xiaoti2,
        {&R::account, &R::pwd, &R::schoolname, &R::examname, &R::gradename, &R::subjectname, &R::datetime,
         &R::kproblem, &R::zproblem},
        {account, pwd, schoolname, examname, gradename, subjectname, datetime, kproblem, zproblem});
}

int CSkelvinApp::XiaoTiScore(const char* account, const char* pwd, const char* schoolname,
                             const char* examname, const char* gradename, const char* subjectname,
                             const char* datetime, const char* studentxiaotiscore) {
    using R = ns1__xiaotiscore2;
    return DataCall<R, ns1__xiaotiscore2Response, 8>(
        "xiaoTiScore", &Proxy::xiaotiscore2,
        {&R::account, &R::pwd, &R::schoolname, &R::examname, &R::gradename, &R::subjectname, &R::datetime,
         &R::studentxiaotiscore},
        {account, pwd, schoolname, examname, gradename, subjectname, datetime, studentxiaotiscore});
}

int CSkelvinApp::TongJi(const char* arg0, const char* arg1, const char* arg2, const char* arg3,
                        const char* arg4, const char* arg5) {
    using R = ns1__tongji2;
    return DataCall<R, ns1__tongji2Response, 6>("tongJi", &Proxy::tongji2,
                                                {&R::arg0, &R::arg1, &R::arg2, &R::arg3, &R::arg4, &R::arg5},
                                                {arg0, arg1, arg2, arg3, arg4, arg5});
}

bool CSkelvinApp::GetRet(char* buffer) const {
    if (!result_ || buffer == nullptr) return false;
    std::memcpy(buffer, result_.get(), resultSize_);
    return true;
}

int CSkelvinApp::SetEndPoint(char* text, bool set) {
    if (text != nullptr && set) {
        // The text is taken as the host gives it; a bad URL fails the next
        // exchange, not this call.
        endpoint_ = text;
        proxy_->soap_endpoint = endpoint_.c_str();
    } else if (text != nullptr) {
        std::strcpy(text, CurrentEndpoint());
    }
    return static_cast<int>(std::strlen(CurrentEndpoint()));
}
