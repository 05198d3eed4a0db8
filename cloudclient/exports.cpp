// The eight exports of libskelvin.so. Everything else in the library,
// the SOAP engine included, is hidden (exports.map).
#include "MarquenServiceSoapBinding.nsmap"  // the engine's global namespace table
#include "skelvin.h"
#include "skelvin_app.h"

#define SKELVIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Created when the library is loaded, destroyed when it is unloaded.
struct App : CSkelvinApp {
    App() { InitInstance(); }
} theApp;

}  // namespace

SKELVIN_EXPORT SKELVINBOOL getMsg(void) {
    return theApp.GetMsg() ? 1 : 0;
}

SKELVIN_EXPORT int logInWeb(const char* accountname, const char* pwd) {
    return theApp.LogInWeb(accountname, pwd);
}

SKELVIN_EXPORT int checkStudent(const char* account, const char* pwd, const char* schoolname,
                                const char* examname, const char* subjectname, const char* studentnum,
                                const char* datetime) {
    return theApp.CheckStudent(account, pwd, schoolname, examname, subjectname, studentnum, datetime);
}

SKELVIN_EXPORT int xiaoTi(const char* account, const char* pwd, const char* schoolname, const char* examname,
                          const char* gradename, const char* subjectname, const char* datetime,
                          const char* kproblem, const char* zproblem) {
    return theApp.XiaoTi(account, pwd, schoolname, examname, gradename, subjectname, datetime, kproblem,
                         zproblem);
}

SKELVIN_EXPORT int xiaoTiScore(const char* account, const char* pwd, const char* schoolname,
                               const char* examname, const char* gradename, const char* subjectname,
                               const char* datetime, const char* studentxiaotiscore) {
    return theApp.XiaoTiScore(account, pwd, schoolname, examname, gradename, subjectname, datetime,
                              studentxiaotiscore);
}

SKELVIN_EXPORT int tongJi(const char* arg0, const char* arg1, const char* arg2, const char* arg3,
                          const char* arg4, const char* arg5) {
    return theApp.TongJi(arg0, arg1, arg2, arg3, arg4, arg5);
}

SKELVIN_EXPORT SKELVINBOOL getRet(char* buffer) {
    return theApp.GetRet(buffer) ? 1 : 0;
}

SKELVIN_EXPORT int Set_EndPoint(char* text, SKELVINBOOL set) {
    return theApp.SetEndPoint(text, set != 0);
}
