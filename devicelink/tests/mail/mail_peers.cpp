#include "mail_peers.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

namespace {
int ListenLoopback(int backlog, int receiveBuffer, int* port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveBuffer > 0) setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), len) != 0 || listen(fd, backlog) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    *port = ntohs(a.sin_port);
    return fd;
}

// Reads until `buffer` holds `marker`, then drops it and what came before.
bool ReadPast(int fd, const std::string& marker, std::string& buffer, const std::atomic<bool>& stopping) {
    while (buffer.find(marker) == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (stopping) return false;
        if (poll(&p, 1, 50) <= 0) continue;
        char chunk[65536];
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0) return false;
        buffer.append(chunk, static_cast<size_t>(n));
    }
    buffer.erase(0, buffer.find(marker) + marker.size());
    return true;
}

void HoldUntilStopped(const std::atomic<bool>& stopping) {
    while (!stopping) std::this_thread::sleep_for(std::chrono::milliseconds(20));
}
}  // namespace

int ClosedPort() {
    int port = 0;
    close(ListenLoopback(1, 0, &port));
    return port;
}

TempDir::TempDir() {
    char pattern[] = "/tmp/vaz-mail-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::filesystem::remove_all(path_);
}

// ---- the real SMTP server -----------------------------------------------------

SmtpServer::SmtpServer(const std::string& user, const std::string& password,
                       const std::vector<std::string>& refused) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    std::string folder = dir_.File("");
    std::vector<std::string> args = {VAZ_TEST_NODE, VAZ_TEST_SMTP_SERVER, folder, user, password};
    args.insert(args.end(), refused.begin(), refused.end());
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string line;
    char c;
    pollfd p{out[0], POLLIN, 0};
    while (line.find('\n') == std::string::npos && poll(&p, 1, 20000) > 0 && read(out[0], &c, 1) == 1)
        line += c;
    close(out[0]);
    port_ = atoi(line.c_str());
    if (port_ <= 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        throw std::runtime_error("the SMTP server did not start: " VAZ_TEST_NODE " " VAZ_TEST_SMTP_SERVER
                                 " (are node and npm installed? ./kit installs them)");
    }
}

SmtpServer::~SmtpServer() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

// ---- loopback peers -----------------------------------------------------------

LoopbackListener::LoopbackListener(Serve serve, int receiveBuffer) {
    fd_ = ListenLoopback(4, receiveBuffer, &port_);
    thread_ = std::thread([this, serve] {
        while (!stopping_) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            int c = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0) continue;
            ++accepted_;
            serve(c, stopping_);
            close(c);
        }
    });
}

LoopbackListener::~LoopbackListener() {
    stopping_ = true;
    thread_.join();
    close(fd_);
}

LoopbackListener::Serve PlayScript(std::vector<ScriptStep> script) {
    return [script](int fd, const std::atomic<bool>& stopping) {
        std::string input;
        for (const ScriptStep& step : script) {
            if (step.wait == ScriptStep::kLine && !ReadPast(fd, "\r\n", input, stopping)) return;
            if (step.wait == ScriptStep::kDataEnd && !ReadPast(fd, "\r\n.\r\n", input, stopping)) return;
            for (const std::string& chunk : step.chunks) {
                send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL);
                std::this_thread::sleep_for(std::chrono::milliseconds(15));  // each chunk a read of its own
            }
        }
        HoldUntilStopped(stopping);
    };
}

LoopbackListener::Serve ServePage(std::string response) {
    return [response](int fd, const std::atomic<bool>& stopping) {
        std::string request;
        if (!ReadPast(fd, "\r\n\r\n", request, stopping)) return;
        if (response.empty()) return HoldUntilStopped(stopping);
        send(fd, response.data(), response.size(), MSG_NOSIGNAL);
    };
}
