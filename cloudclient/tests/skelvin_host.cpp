#include "skelvin_host.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace skelvintest {

SkelvinLib::SkelvinLib() {
    handle = dlopen(SKELVIN_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        ADD_FAILURE() << "dlopen: " << dlerror();
        return;
    }
    auto bind = [this](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(handle, name));
        if (fn == nullptr) ADD_FAILURE() << "missing export " << name;
    };
    bind(getMsg, "getMsg");
    bind(logInWeb, "logInWeb");
    bind(checkStudent, "checkStudent");
    bind(xiaoTi, "xiaoTi");
    bind(xiaoTiScore, "xiaoTiScore");
    bind(tongJi, "tongJi");
    bind(getRet, "getRet");
    bind(Set_EndPoint, "Set_EndPoint");
}

SkelvinLib::~SkelvinLib() {
    if (handle != nullptr) dlclose(handle);
}

std::string SkelvinLib::Result(int size) const {
    if (size <= 0) return "<call failed>";
    std::vector<char> buffer(static_cast<size_t>(size) + 8, '#');
    if (!getRet(buffer.data())) return "<getRet false>";
    if (buffer[static_cast<size_t>(size) - 1] != '\0') return "<no NUL at size - 1>";
    return std::string(buffer.data(), static_cast<size_t>(size) - 1);
}

int SkelvinLib::SetEndpoint(const std::string& url) const {
    std::string copy = url;
    return Set_EndPoint(copy.data(), 1);
}

std::string SkelvinLib::Endpoint() const {
    std::vector<char> buffer(static_cast<size_t>(Set_EndPoint(nullptr, 0)) + 1, '#');
    Set_EndPoint(buffer.data(), 0);
    return buffer.data();
}

StderrCapture::StderrCapture() {
    std::fflush(stderr);
    char name[] = "/tmp/skelvin-stderr-XXXXXX";
    file_ = mkstemp(name);
    unlink(name);
    saved_ = dup(2);
    dup2(file_, 2);
}

StderrCapture::~StderrCapture() {
    if (saved_ >= 0) {
        dup2(saved_, 2);
        close(saved_);
    }
    close(file_);
}

std::string StderrCapture::Text() {
    std::fflush(stderr);
    std::string text;
    char chunk[4096];
    ssize_t n;
    off_t offset = 0;
    while ((n = pread(file_, chunk, sizeof chunk, offset)) > 0) {
        text.append(chunk, static_cast<size_t>(n));
        offset += n;
    }
    return text;
}

Answering::Answering(exampeer::RawPeer& peer, std::string response)
    : thread_([this, &peer, response = std::move(response)] {
          try {
              request_ = peer.Answer(response, std::chrono::seconds(5));
          } catch (const std::exception& e) {
              request_ = std::string("<peer: ") + e.what() + ">";
          }
      }) {}

Answering::~Answering() {
    if (thread_.joinable()) thread_.join();
}

std::string Answering::Request() {
    if (thread_.joinable()) thread_.join();
    return request_;
}

std::string Response(const std::string& op, const std::string& children) {
    return exampeer::HttpResponse(exampeer::SoapEnvelope(
        "<ns1:" + op + "Response>" + children + "</ns1:" + op + "Response>", kNamespace));
}

std::string ExpectedRequest(const exampeer::RawPeer& peer, const std::string& bodyElement) {
    std::string body =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
        "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:ns1=\"" +
        kNamespace + "\"><SOAP-ENV:Body>" + bodyElement + "</SOAP-ENV:Body></SOAP-ENV:Envelope>\r\n";
    return "POST /qelborn/webservice/examservice HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(peer.Port()) +
           "\r\nUser-Agent: gSOAP/2.8\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\nSOAPAction: \"\"\r\n\r\n" + body;
}

}  // namespace skelvintest
