// Plain-socket HTTP on the loopback interface: a one-connection-at-a-time
// peer that records what a client sends and answers with fixed bytes, and
// a client that posts fixed bytes. Used by the tests (to see the exact
// request bytes) and by the benchmark (as the raw baseline).
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace exampeer {

// Reads one HTTP message from fd: the head up to the blank line and then
// as many body bytes as its Content-Length says (or up to end of file when
// there is none). Throws std::runtime_error on a read error or time-out.
std::string ReadHttpMessage(int fd, std::chrono::milliseconds timeout);

// A complete HTTP/1.1 200 response carrying body as text/xml.
std::string HttpResponse(std::string_view body, int status = 200, std::string_view reason = "OK");

// A SOAP 1.1 envelope around one body element, as a service sends it.
std::string SoapEnvelope(std::string_view bodyXml, std::string_view targetNamespace);

class RawPeer {
public:
    RawPeer();  // listens on 127.0.0.1, on a port the system picks
    ~RawPeer();
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    int Port() const { return port_; }
    std::string Url(std::string_view path = "/qelborn/webservice/examservice") const;

    // Accepts one connection, reads one request and writes response (as it
    // stands, then closes). Returns the request bytes.
    std::string Answer(std::string_view response,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Accepts one connection, reads the request and then sends nothing,
    // holding the connection until the client gives up or hold has passed.
    // Returns how long the client kept the connection open.
    std::chrono::milliseconds Stall(std::chrono::milliseconds hold);

private:
    int Accept(std::chrono::milliseconds timeout);

    int listenFd_ = -1;
    int port_ = 0;
};

// Connects to 127.0.0.1:port, sends request, reads the response to the end
// of the connection.
std::string RawPost(int port, std::string_view request, std::chrono::milliseconds timeout);

}  // namespace exampeer
