// CSendMail: the SMTP dialogue, the MIME body and the attachment list.
#include "send_mail.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "mail_settings.h"
#include "mail_text.h"
#include "smtp_socket.h"
#include "vazplatform/codepage.h"

namespace {
constexpr char kIncompleteInfo[] = "Please input every information!\r\n";
// The reply to QUIT comes after the mail was accepted: not worth a long wait.
constexpr int kQuitReplyMs = 2000;

// One line of the mailer's diagnostics on standard error (texts end in CR LF).
void Log(const char* text) {
    size_t n = strlen(text);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r')) --n;
    fprintf(stderr, "%.*s\n", static_cast<int>(n), text);
}
}  // namespace

CSendMail::CSendMail()
    : fileData_(nullptr),
      mailInfo_{},
      replyFill_(0),
      connectTimeoutMs_(kConnectTimeoutMs),
      replyTimeoutMs_(kReplyTimeoutMs),
      sendTimeoutMs_(kSendTimeoutMs) {
    memset(command_, 0, sizeof command_);
    memset(reply_, 0, sizeof reply_);
}

CSendMail::~CSendMail() {
    FreeFileData();
    DeleteAllPath();
}

void CSendMail::SetTimeouts(int connectMs, int replyMs, int sendMs) {
    if (connectMs > 0) connectTimeoutMs_ = connectMs;
    if (replyMs > 0) replyTimeoutMs_ = replyMs;
    if (sendMs > 0) sendTimeoutMs_ = sendMs;
}

// ---- the send -----------------------------------------------------------------

bool CSendMail::SendMail(sMailInfo& info) {
    mailInfo_ = info;
    const char* fields[] = {info.userName,      info.password,         info.senderName,
                            info.senderAddress, info.recipientAddress, info.subject,
                            info.body,          info.serverAddress,    info.serverName};
    for (const char* f : fields) {
        if (!f) {
            Log(kIncompleteInfo);
            return false;
        }
    }
    struct Step {
        bool (CSendMail::*run)(int&);
        const char* message;
    };
    static const Step kSteps[] = {
        {&CSendMail::CreateSocket, "Create socket error!\r\n"},
        {&CSendMail::Logon, "logon the mail server error!\r\n"},
        {&CSendMail::SendHead, "Send head error!\r\n"},
        {&CSendMail::SendTextBody, "Send Text-Body error!\r\n"},
        {&CSendMail::SendFileBody, "Send file error!\r\n"},
        {&CSendMail::SendEnd, "Send end error!\r\n"},
    };
    replyFill_ = 0;
    replies_.Reset();
    data_.Reset();
    int sock = -1;
    for (const Step& step : kSteps) {
        failure_.clear();
        if ((this->*step.run)(sock)) continue;
        Log(step.message);
        if (!failure_.empty()) fprintf(stderr, "vaz mail: %s\n", failure_.c_str());
        CloseSocket(sock);
        FreeFileData();
        return false;
    }
    return true;
}

bool CSendMail::CreateSocket(int& sock) {
    const char* host = *mailInfo_.serverAddress ? mailInfo_.serverAddress : mailInfo_.serverName;
    if (!*host) return Fail("no SMTP server given");
    sock = vazmail::ConnectTcp(host, vazmail::CurrentMailSettings().port, connectTimeoutMs_, &failure_);
    return sock >= 0;
}

bool CSendMail::Logon(int& sock) {
    if (!ExpectReply(sock, 220)) return false;
    if (!SendCommand(sock, "HELO []\r\n") || !ExpectReply(sock, 250)) return false;
    if (!SendCommand(sock, "AUTH LOGIN\r\n") || !ExpectReply(sock, 334)) return false;
    std::string user = vazmail::Base64(mailInfo_.userName, strlen(mailInfo_.userName));
    if (!SendCommand(sock, "%s\r\n", user.c_str()) || !ExpectReply(sock, 334)) return false;
    std::string password = vazmail::Base64(mailInfo_.password, strlen(mailInfo_.password));
    return SendCommand(sock, "%s\r\n", password.c_str()) && ExpectReply(sock, 235);
}

bool CSendMail::SendHead(int& sock) {
    const char* sender = mailInfo_.senderAddress;
    const char* recipient = mailInfo_.recipientAddress;
    for (const char* address : {sender, recipient})
        if (strpbrk(address, "\r\n<>")) return Fail(std::string("not a mail address: ") + address);
    if (!SendCommand(sock, "MAIL FROM:<%s>\r\n", sender) || !ExpectReply(sock, 250)) return false;
    if (!SendCommand(sock, "RCPT TO:<%s>\r\n", recipient) || !ExpectReply(sock, 250, 251)) return false;
    if (!SendCommand(sock, "DATA\r\n") || !ExpectReply(sock, 354)) return false;
    std::string toName = vazmail::CurrentMailSettings().toDisplayName;
    std::string head = "From:" + vazmail::HeaderDisplayName(mailInfo_.senderName) + "<" + sender + ">\r\n" +
                       "TO:" + vazmail::HeaderDisplayName(toName.c_str()) + "<" + recipient + ">\r\n" +
                       "Subject:" + vazmail::HeaderText(mailInfo_.subject) + "\r\n" +
                       "Mime-Version:1.0\r\n"
                       "Content-Type:multipart/mixed;boundary=\"ZPLW\"\r\n"
                       "\r\n";
    return SendData(sock, head);
}

bool CSendMail::SendTextBody(int& sock) {
    char ip[kInternetIPSize] = {};
    GetInternetIP(ip);
    std::string address = vazmail::Cp936FromUtf8(ip);
    return SendData(sock,
                    "--ZPLW\r\n"
                    "Content-Type:text/plain;\r\n"
                    " charset=\"gb2312\"\r\n"
                    "\r\n") &&
           SendData(sock, mailInfo_.body, strlen(mailInfo_.body)) &&
           SendData(sock, "\r\n" + address + "\r\n\r\n");
}

bool CSendMail::SendFileBody(int& sock) {
    for (const std::string& path : filePaths_) {
        int length = GetFileData(path.c_str());
        char name[kFileNameSize] = {};
        GetFileName(name, path.c_str());
        std::string quoted = vazmail::HeaderParameter(name);
        bool ok = SendData(sock,
                           "--ZPLW\r\n"
                           "Content-Type:application/octet-stream;\r\n"
                           " name=" +
                               quoted +
                               "\r\n"
                               "Content-Transfer-Encoding:base64\r\n"
                               "Content-Disposition: attachment;\r\n"
                               " filename=" +
                               quoted +
                               "\r\n"
                               "\r\n");
        // Each line: 3000 bytes as 4000 characters and CR LF in the command
        // buffer. Base64 holds neither dots nor line ends: sent as it is.
        for (int at = 0; ok && at < length; at += kBase64SourceChunk) {
            int n = std::min(kBase64SourceChunk, length - at);
            Char2Base64(command_, fileData_ + at, n);
            int chars = 4 * ((n + 2) / 3);
            command_[chars] = '\r';
            command_[chars + 1] = '\n';
            ok = SendBuffer(sock, command_, static_cast<size_t>(chars) + 2);
        }
        FreeFileData();
        if (!ok) return false;
    }
    return true;
}

bool CSendMail::SendEnd(int& sock) {
    bool accepted = SendData(sock, "--ZPLW--\r\n") && SendBuffer(sock, ".\r\n", 3) && ExpectReply(sock, 250);
    if (accepted && SendCommand(sock, "QUIT\r\n"))
        ExpectReply(sock, 221, 0, std::min(replyTimeoutMs_, kQuitReplyMs));
    if (accepted) failure_.clear();  // the mail is delivered whatever QUIT brings
    CloseSocket(sock);
    return accepted;
}

// ---- transfers ----------------------------------------------------------------

bool CSendMail::Fail(const char* why) {
    failure_ = why;
    return false;
}

bool CSendMail::Fail(const std::string& why) {
    return Fail(why.c_str());
}

bool CSendMail::SendBuffer(int sock, const char* bytes, size_t n) {
    int err = 0;
    vazmail::NetIo r = vazmail::SendAll(sock, bytes, n, sendTimeoutMs_, &err);
    return r == vazmail::NetIo::Ok || Fail("send: " + vazmail::DescribeIo(r, err, sendTimeoutMs_));
}

bool CSendMail::SendCommand(int sock, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int n = vsnprintf(command_, sizeof command_, format, ap);
    va_end(ap);
    if (n < 0 || n >= static_cast<int>(sizeof command_))
        return Fail("command longer than the command buffer");
    return SendBuffer(sock, command_, static_cast<size_t>(n));
}

bool CSendMail::SendData(int sock, const char* text, size_t n) {
    std::string encoded;
    data_.Encode(text, n, encoded);
    for (size_t at = 0; at < encoded.size(); at += sizeof command_) {
        size_t block = std::min(sizeof command_, encoded.size() - at);
        memcpy(command_, encoded.data() + at, block);
        if (!SendBuffer(sock, command_, block)) return false;
    }
    return true;
}

bool CSendMail::ExpectReply(int sock, int expected, int alternative, int timeoutMs) {
    if (timeoutMs <= 0) timeoutMs = replyTimeoutMs_;
    int64_t deadline = vazmail::MonotonicMs() + timeoutMs;
    for (;;) {
        if (replyFill_ > 0) {
            int used = 0;
            int code = replies_.Feed(reply_, replyFill_, &used);
            memmove(reply_, reply_ + used, static_cast<size_t>(replyFill_ - used));
            replyFill_ -= used;
            if (code == vazmail::SmtpReplyParser::kGarbled)
                return Fail("not an SMTP reply: " + replies_.LastLine());
            if (code != vazmail::SmtpReplyParser::kIncomplete) {
                if (code == expected || (alternative && code == alternative)) return true;
                return Fail("the server replied: " + replies_.LastLine());
            }
        }
        int64_t left = deadline - vazmail::MonotonicMs();
        if (left <= 0) return Fail("no complete reply within " + std::to_string(timeoutMs) + " ms");
        int got = 0;
        int err = 0;
        vazmail::NetIo r = vazmail::ReceiveSome(sock, reply_ + replyFill_, sizeof reply_ - replyFill_,
                                                static_cast<int>(left), &got, &err);
        if (r == vazmail::NetIo::TimedOut)
            return Fail("no complete reply within " + std::to_string(timeoutMs) + " ms");
        if (r != vazmail::NetIo::Ok) return Fail("reply: " + vazmail::DescribeIo(r, err, timeoutMs));
        replyFill_ += got;
    }
}

void CSendMail::CloseSocket(int& sock) {
    if (sock >= 0) close(sock);
    sock = -1;
}

// ---- attachments ---------------------------------------------------------------

void CSendMail::AddFilePath(const char* path) {
    if (!path || std::find(filePaths_.begin(), filePaths_.end(), path) != filePaths_.end()) return;
    filePaths_.emplace_back(path);
}

void CSendMail::DeleteFilePath(const char* path) {
    if (!path) return;
    auto it = std::find(filePaths_.begin(), filePaths_.end(), path);
    if (it != filePaths_.end()) filePaths_.erase(it);
}

void CSendMail::DeleteAllPath() {
    filePaths_.clear();
}

void CSendMail::Char2Base64(char* out, const char* in, int length) {
    if (length > 0)
        vazmail::EncodeBase64(out, reinterpret_cast<const unsigned char*>(in), static_cast<size_t>(length));
}

int CSendMail::GetFileData(const char* path) {
    FreeFileData();
    if (!path) return 0;
    FILE* f = fopen(path, "rb");
    struct stat st {};
    const char* problem = nullptr;
    int err = 0;
    if (!f)
        err = errno;
    else if (fstat(fileno(f), &st) != 0)
        err = errno;
    else if (!S_ISREG(st.st_mode))
        problem = "not a regular file";
    else if (st.st_size >= INT_MAX)
        problem = "too large";
    int length = 0;
    if (f && !err && !problem) {
        fileData_ = new char[static_cast<size_t>(st.st_size) + 1]();
        length = static_cast<int>(fread(fileData_, 1, static_cast<size_t>(st.st_size), f));
        if (ferror(f)) err = errno;
    }
    if (f) fclose(f);
    if (err || problem) {
        fprintf(stderr, "vaz mail: attachment %s cannot be read (%s); it is sent empty\n", path,
                problem ? problem : vazplat::SystemErrorText(err).c_str());
        FreeFileData();
        return 0;
    }
    return length;
}

void CSendMail::GetFileName(char* name, const char* path) {
    if (!name || !path) return;
    const char* start = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\') start = p + 1;
    size_t n = vazmail::Cp936Prefix(start, strlen(start), kFileNameSize - 1);
    memcpy(name, start, n);
}

void CSendMail::FreeFileData() {
    delete[] fileData_;
    fileData_ = nullptr;
}
