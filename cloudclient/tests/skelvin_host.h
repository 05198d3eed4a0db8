// Test side of a host program: loads libskelvin.so with dlopen and binds the
// eight exports by name, so each test starts with the library freshly
// loaded; captures standard error around a call.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "raw_http.h"
#include "skelvin.h"

namespace skelvintest {

struct SkelvinLib {
    SkelvinLib();
    ~SkelvinLib();
    SkelvinLib(const SkelvinLib&) = delete;
    SkelvinLib& operator=(const SkelvinLib&) = delete;

    // The result text that getRet yields after a data call returned size.
    std::string Result(int size) const;
    int SetEndpoint(const std::string& url) const;
    std::string Endpoint() const;

    void* handle = nullptr;
    decltype(&::getMsg) getMsg = nullptr;
    decltype(&::logInWeb) logInWeb = nullptr;
    decltype(&::checkStudent) checkStudent = nullptr;
    decltype(&::xiaoTi) xiaoTi = nullptr;
    decltype(&::xiaoTiScore) xiaoTiScore = nullptr;
    decltype(&::tongJi) tongJi = nullptr;
    decltype(&::getRet) getRet = nullptr;
    decltype(&::Set_EndPoint) Set_EndPoint = nullptr;
};

// Everything written to file descriptor 2 between construction and Text().
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    std::string Text();

private:
    int saved_ = -1;
    int file_ = -1;
};

// One peer.Answer(response) on its own thread, for the length of a call.
class Answering {
public:
    Answering(exampeer::RawPeer& peer, std::string response);
    ~Answering();
    // Waits for the peer; the request bytes, or "<peer: what went wrong>".
    std::string Request();

private:
    std::thread thread_;
    std::string request_;
};

// The target namespace and default endpoint the library was built with.
inline const std::string kNamespace = SKELVIN_SERVICE_NAMESPACE;
inline const std::string kDefaultEndpoint = SKELVIN_DEFAULT_ENDPOINT;

// A canned response of the service to operation op with body children.
std::string Response(const std::string& op, const std::string& children);

// The request bytes the client sends to peer for a body element, as the
// engine writes them.
std::string ExpectedRequest(const exampeer::RawPeer& peer, const std::string& bodyElement);

}  // namespace skelvintest
