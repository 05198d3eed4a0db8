// The feedback mailer: one SMTP submission with AUTH LOGIN and a MIME
// multipart body (a text part, then every listed file in base64).
//
// CSendMail is part of libvaz's interface (its layout included), so this
// header uses nothing of the library's internals. Texts are zero-terminated
// code page 936 byte strings.
//
// Every socket step is bounded: the connection, each reply of the server and
// each send (SetTimeouts). A server that does not answer, answers with a code
// other than the one expected, or closes the connection fails the send.
// Failures are written to standard error: the step's line and a line that
// says why.
#pragma once

#include <string>
#include <vector>

#include "smtp_codec.h"

#define VAZ_MAIL_API __attribute__((visibility("default")))

// The mail to send. Every field must be non-null; empty texts are accepted.
struct sMailInfo {
    const char* userName;          // account name for AUTH LOGIN
    const char* password;          // account password for AUTH LOGIN
    const char* senderName;        // display name in From
    const char* senderAddress;     // MAIL FROM and From
    const char* recipientAddress;  // RCPT TO and To
    const char* subject;
    const char* body;           // the text part (lines end in "\n", "\r\n" or "\r")
    const char* serverAddress;  // numeric IPv4 address of the SMTP server, or ""
    const char* serverName;     // its host name, used when serverAddress is ""
};

class VAZ_MAIL_API CSendMail {
public:
    static constexpr int kCommandBufferSize = 4096;
    static constexpr int kReplyBufferSize = 1024;
    static constexpr int kFileNameSize = 128;        // GetFileName's buffer (127 bytes + zero)
    static constexpr int kInternetIPSize = 260;      // GetInternetIP's buffer
    static constexpr int kHostNameSize = 260;        // GetLocalIP's host-name buffer
    static constexpr int kAddressSize = 16;          // GetLocalIP's address buffer
    static constexpr int kBase64SourceChunk = 3000;  // attachment bytes per 4000-character line
    static constexpr int kConnectTimeoutMs = 10000;
    static constexpr int kReplyTimeoutMs = 30000;
    static constexpr int kSendTimeoutMs = 30000;

    CSendMail();
    ~CSendMail();
    CSendMail(const CSendMail&) = delete;
    CSendMail& operator=(const CSendMail&) = delete;

    // Connects, logs on, sends the envelope, the headers, the text part and
    // the attachments, and ends the data. True only when the server accepted
    // the mail (250 after the end of data).
    bool SendMail(sMailInfo& info);
    // The attachment list keeps its own copy of each path; a null path or a
    // path already listed (byte for byte) is ignored.
    void AddFilePath(const char* path);
    // Removes the first entry equal to `path`; an unlisted path changes nothing.
    void DeleteFilePath(const char* path);
    void DeleteAllPath();
    // Bounds of the socket steps in milliseconds (values <= 0 keep the old one).
    void SetTimeouts(int connectMs, int replyMs, int sendMs);

protected:
    // Resolves the server (serverAddress, else serverName; the port is 25 or
    // VAZ_MAIL_PORT) and connects to the first address that answers.
    bool CreateSocket(int& sock);
    // Greeting 220, "HELO []" 250, "AUTH LOGIN" 334, user name 334, password 235.
    bool Logon(int& sock);
    // MAIL FROM 250, RCPT TO 250/251, DATA 354, then the header block.
    bool SendHead(int& sock);
    bool SendTextBody(int& sock);
    bool SendFileBody(int& sock);
    // Closing boundary and end of data (250 expected), QUIT, close.
    bool SendEnd(int& sock);
    // Base64 of `length` bytes of `in` into `out` (4 characters for every 3
    // bytes or part of them); writes no terminating zero.
    void Char2Base64(char* out, const char* in, int length);
    // Reads the whole file into the file data; its length, 0 for a null path or
    // a file that cannot be read (file data null).
    int GetFileData(const char* path);
    // The part of `path` after its last "/" or "\" (the whole path when it has
    // none), cut to whole characters within 127 bytes; `name` holds kFileNameSize
    // bytes and is zeroed by the caller.
    void GetFileName(char* name, const char* path);
    // Host name (kHostNameSize bytes) and its first IPv4 address in dotted form
    // (kAddressSize bytes). 0, else errno of gethostname or the getaddrinfo code
    // (then `address` is left unchanged).
    int GetLocalIP(char* address, char* hostName);
    // First line of the public address lookup page (at most 259 characters, no
    // line end) into `text` (kInternetIPSize bytes). A failed download leaves
    // `text` unchanged. 0, or the code of a failed libcurl start-up.
    int GetInternetIP(char* text);

private:
    bool Fail(const char* why);
    bool Fail(const std::string& why);
    // Formats one command into the command buffer and sends it.
    bool SendCommand(int sock, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // Reads one reply (bounded by timeoutMs, or the reply time-out when 0); true
    // when its code is `expected` or `alternative`.
    bool ExpectReply(int sock, int expected, int alternative = 0, int timeoutMs = 0);
    // Mail data with line ends made CR LF and a leading "." doubled, sent
    // through the command buffer in blocks.
    bool SendData(int sock, const char* text, size_t n);
    bool SendData(int sock, const std::string& text) { return SendData(sock, text.data(), text.size()); }
    bool SendBuffer(int sock, const char* bytes, size_t n);
    void FreeFileData();
    void CloseSocket(int& sock);

    // ---- what the mail is made of ----------------------------------------
    std::vector<std::string> filePaths_;  // attachments in order, no two equal
    char command_[kCommandBufferSize];    // every command and block is formatted here
    char reply_[kReplyBufferSize];        // bytes read from the server, not yet consumed
    char* fileData_;                      // contents of the attachment being sent
    sMailInfo mailInfo_;

    // ---- state of one send ------------------------------------------------
    int replyFill_;                     // bytes of reply_ not yet consumed
    vazmail::SmtpReplyParser replies_;  // replies split or joined anywhere, multi-line
    vazmail::SmtpDataEncoder data_;     // CR LF line ends and dot-stuffing of the mail data
    std::string failure_;               // why the current step failed
    int connectTimeoutMs_;
    int replyTimeoutMs_;
    int sendTimeoutMs_;
};
