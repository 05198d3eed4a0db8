// Peers of the mailer's tests, all on 127.0.0.1: the real SMTP server
// (smtp_server.js under node) in a child process, a scripted SMTP peer for
// awkward replies and stalls, and the address lookup page.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "send_mail.h"

// The mailer with its protected members in reach.
class TestMailer : public CSendMail {
public:
    using CSendMail::Char2Base64;
    using CSendMail::GetFileName;
    using CSendMail::GetInternetIP;
    using CSendMail::GetLocalIP;
};

std::string ReadFile(const std::string& path);  // "" when it cannot be read
void WriteFile(const std::string& path, const std::string& bytes);
// A port on 127.0.0.1 where nothing listens.
int ClosedPort();

class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The real SMTP server: account user/password, refusing the given recipients.
class SmtpServer {
public:
    SmtpServer(const std::string& user, const std::string& password,
               const std::vector<std::string>& refused = {});
    ~SmtpServer();
    int Port() const { return port_; }
    // A file the server wrote: "auth.log", "1.eml", "1.headers", "1.0", ...
    std::string Stored(const std::string& name) const { return ReadFile(dir_.File(name)); }

private:
    TempDir dir_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// Accepts connections on a thread and hands each to `serve` (one at a time).
class LoopbackListener {
public:
    // serve(fd, stopping) runs until it returns or `stopping` turns true.
    using Serve = std::function<void(int fd, const std::atomic<bool>& stopping)>;
    explicit LoopbackListener(Serve serve, int receiveBuffer = 0);
    ~LoopbackListener();
    int Port() const { return port_; }
    int Accepted() const { return accepted_; }

private:
    int fd_ = -1;
    int port_ = 0;
    std::atomic<int> accepted_{0};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// An SMTP peer that plays a script: each step waits for a command line (or
// the end of the mail data, or nothing) and writes its chunks one by one.
// After the last step it holds the connection without reading.
struct ScriptStep {
    enum Wait { kNothing, kLine, kDataEnd } wait;
    std::vector<std::string> chunks;
};
LoopbackListener::Serve PlayScript(std::vector<ScriptStep> script);

// The lookup page: answers every request with `response` (a whole HTTP
// response); an empty response never answers.
LoopbackListener::Serve ServePage(std::string response);
