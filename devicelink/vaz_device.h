// The device context of libvaz and everything the library's source files share.
//
// One CVazDevice exists per process (TheDevice()); it is created when the
// library is loaded and destroyed when it is unloaded. It owns the link to
// the reader (CVazLink: USB HID or serial port), the error state (VazError),
// the identification texts, the pending-reply state of the dispatcher and the
// data blocks of the test and read commands.
//
// Threading: one thread at a time runs an export. The only exception is
// VazSetStop, which writes `stop` (atomic) and resets the error state
// (VazError is internally locked) from another thread.
//
// Source files of the library:
//   exports.cpp          the C exports and the load/unload of the context
//   vaz_error.cpp        VazError and the message table
//   host.cpp             message boxes, test timing hooks, trace line
//   vaz_link.cpp         CVazLink, CHidDevice, CSerialPort (over platform/)
//   protocol.cpp         SendRaw .. Identify, VazInit's connection logic
//   protocol_helpers.cpp pure helpers (ExtractNumbers, device type table, USB chunking)
//   dispatcher.cpp       SendCommand (VazS) and FetchReply (VazG)
//   settings.cpp         identification, counter, read mode, print mode, small settings
//   format_download.cpp  FormatDownload                      (card reading)
//   block_read.cpp       BlockRead, StoredRead                (card reading)
//   test_data.cpp        SetTest, ValueRead, AreaRead, CurveRead,
//                        GetValue, GetOriOrGray, GetCurve     (test-mode data)
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "vaz.h"
#include "vaz_host_hooks.h"

class CHidDevice;
class CSerialPort;

// The link in use. The exports hand it out as VAZ_LINK_* integers.
enum class LinkKind : int { None = VAZ_LINK_NONE, Usb = VAZ_LINK_USB, Serial = VAZ_LINK_SERIAL };
inline int ToExport(LinkKind k) {
    return static_cast<int>(k);
}

// ---------------------------------------------------------------------------
// Library strings (code page 936 texts; the English ones are plain ASCII).
namespace vazstr {
inline constexpr char kOpenFormatFailed[] = "Open the format file failed!";           // 4000, + ":%s"
inline constexpr char kFormatFileError[] = "Format file error,please check it.";      // 4001
inline constexpr char kFormatCmdError[] = "Fomat cmd %sdefined error or load error";  // 4002
inline constexpr char kTestCmdError[] = "Test cmd sent error.";                       // 4003
inline constexpr char kNotFound[] = "Not find Vaz device,make sure Vaz device has been connected!";  // 4004
inline constexpr char kTip[] = "Tip";                                                                // 4005
inline constexpr char kAlreadyConnected[] = "Vaz device has connected,whether or not to connect?";   // 4006
// 61472 "无法获取错误信息。" (no text for a file error)
inline constexpr char kNoErrorText[] =
    "\xce\xde\xb7\xa8\xbb\xf1\xc8\xa1\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa1\xa3";
// "未定义的错误" (code 24 and above)
inline constexpr char kUndefinedError[] = "\xce\xb4\xb6\xa8\xd2\xe5\xb5\xc4\xb4\xed\xce\xf3";
inline constexpr char kUnknownLink[] = "error 1024:An unknown error.";
inline constexpr char kInvalidWriteHandle[] = "the handle of device is invalidate";
inline constexpr char kInvalidReadHandle[] = "the handle of device is invalide\r\n";
inline constexpr char kApplicationError[] = "Application Error";
// Caption of the "framework" message boxes: the library's application title.
inline constexpr char kAppTitle[] = "Vaz";
}  // namespace vazstr

// ---------------------------------------------------------------------------
// Host side: message boxes and timings (host.cpp).
namespace vazhost {
// Writes one line of the library to standard error: printf-style, the text
// as given (a caller ends it with its own line break).
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Shows a modal box: through the host's vaz_host_message_box when it exists,
// else "CAPTION: TEXT" on standard error (converted to the locale's charset),
// answering the first button. Returns a VazBoxAnswer.
int MessageBox(const char* caption, const char* text, int buttons = VAZ_BOX_OK, int icon = VAZ_ICON_NONE);
// The "framework" message box: caption vazstr::kAppTitle, OK button.
void FrameworkMessageBox(const char* text);
// 5000 ms, or the test hook's value.
int UsbRecoveryPauseMs();
// 10000 ms, or the test hook's value.
int NoCardLimitMs();
// The transfer trace line "%d:\t%s\r\n" on standard error, written only while
// the environment variable VAZ_TRACE is set to a non-empty value other than
// "0" (read at load and at every VazInit). Non-printable bytes are escaped.
void Trace(int result, const void* bytes, int n);
void RefreshTraceSetting();
// Looks the host's hooks up (at load and at every VazInit).
void RefreshHostHooks();
// The host's feedback dialog, or null.
VazHostFeedbackFn FeedbackHook();
// VazCrashReport's dialog (crash_report_dialog.cpp): the report of the reader
// with this identification and card counter, shown by the host's feedback
// dialog or, without one, on the terminal. Returns when it has closed.
void RunFeedbackDialog(const char* identification, const char* cardCounter);
// Milliseconds of a monotonic clock.
int64_t NowMs();
void SleepMs(int ms);
}  // namespace vazhost

// ---------------------------------------------------------------------------
// Pure helpers (protocol_helpers.cpp; no state, unit-tested directly).
namespace vazproto {
// Decimal digit runs of `text`: each run is one number, stored in `out` while
// fewer than `room` are stored, counted in any case. A run longer than
// `maxDigits` stops the scan: result -1 (numbers before it stay stored).
// Otherwise the count of runs. `out` may be null when room is 0.
int ExtractNumbers(const char* text, int* out, int room, int maxDigits);
// Device type code of an identification text (leading 'A'/'a' adds 0x40).
int DeviceTypeFromIdentification(const char* text);
// Sizes of the USB reports that carry an n-byte send (empty for n <= 0).
std::vector<int> UsbSendChunks(int n);
// Number of reports an n-byte receive reads (1 for n <= 64).
int UsbReceiveReports(int n);
// Value of a 4-byte length field of four ASCII decimal digits; -1 when the
// field is not four digits.
int ParseLengthField(const char* field);
}  // namespace vazproto

// ---------------------------------------------------------------------------
// Error state: a two-digit code text, a pending mark and 24 English texts.
// Internally locked (VazSetStop resets it from another thread).
class VazError {
public:
    static constexpr int kTableSize = 24;
    VazError();
    virtual ~VazError();

    void Reset();                         // not pending, VAZ_CODE_NO_ERROR
    void SetCode(const char* twoDigits);  // pending, the two characters
    bool IsPending() const;
    bool Is(const char* twoDigits) const;  // the code text is this one
    void ClearPending();
    std::string Code() const;  // the two-digit text
    // VazGetError: clears the pending mark, copies the code (3 bytes).
    void CopyCode(char* buffer);
    // VazGetErrorStr: text of the code (or kUndefinedError, mark kept).
    void CopyText(char* buffer);
    int MessageCount() const { return messageCount_; }
    const std::string& Message(int index) const { return messages_[index]; }
    void ReleaseMessages();

private:
    mutable std::mutex mutex_;
    int messageCount_ = 0;
    std::string messages_[kTableSize];
    char code_[3] = {'0', '0', 0};
    bool pending_ = false;
};

// ---------------------------------------------------------------------------
// Data block: four ASCII decimal digits with the byte count n, the n bytes,
// a zero byte. Null until first assigned.
class DataBlock {
public:
    bool Exists() const { return exists_; }
    void Free();
    // Replaces the block by the count digits of `n`, the n bytes and a zero.
    void Assign(const void* data, int n);
    // Replaces the block by the digits of `announced` and a zero, no data
    // (count 0 held; AnnouncedCount() keeps the digits' value).
    void AssignHeaderOnly(int announced);
    // Data bytes really held (never more than the buffer has).
    int Count() const { return exists_ ? static_cast<int>(bytes_.size()) - 5 : 0; }
    int AnnouncedCount() const { return announced_; }
    const unsigned char* Data() const { return exists_ ? bytes_.data() + 4 : nullptr; }
    // The whole layout (digits, data, zero).
    const std::vector<unsigned char>& Raw() const { return bytes_; }

private:
    bool exists_ = false;
    int announced_ = 0;
    std::vector<unsigned char> bytes_;
};

// ---------------------------------------------------------------------------
// The link: USB device or serial port, and which one is in use.
class CVazLink {
public:
    CVazLink();
    ~CVazLink();
    CVazLink(const CVazLink&) = delete;
    CVazLink& operator=(const CVazLink&) = delete;

    std::unique_ptr<CHidDevice> usb;      // null until the first USB open
    std::unique_ptr<CSerialPort> serial;  // null until the first serial open
    LinkKind kind = LinkKind::None;
    int serialPortNumber = 0;  // 1..5, the port tried or in use

    // Replaces the USB device and runs discovery; kind := Usb on success.
    bool OpenUsb();
    // Closes the USB handle; the object stays (invalid handle).
    void CloseUsbHandle();
    // Replaces the serial port by port `number` (COM1..COM5); kind := Serial on success.
    bool OpenSerial(int number);
    // Signals the serial port's shutdown (no waiter; the port stays open).
    void SignalSerialShutdown();

    int UsbSend(const unsigned char* bytes, int n);
    int UsbReceive(unsigned char* dest, int n);  // writes at most n + 1 bytes
    int SerialSend(const unsigned char* bytes, int n);
    int SerialReceive(unsigned char* dest, int n);  // writes at most n bytes
};

// ---------------------------------------------------------------------------
// Replies a command left for VazG, in the order VazG serves them. Several can
// wait at once (an "r" command sent while the reply of an I 1 is unread).
enum class PendingReply : std::uint8_t {
    StoredRead,  // "r" without numbers: VazG exchanges the stored command, 4 bytes
    ByteRead,    // I 3: 1 byte and a status
    BlockRead,   // "r" with numbers: the block read
    WordRead,    // I 1: 2 bytes and a status
    X2Data,      // X 2: data block A handed out
};

class PendingReplies {
public:
    void Add(PendingReply r) { bits_ |= Bit(r); }
    void Remove(PendingReply r) { bits_ &= static_cast<std::uint8_t>(~Bit(r)); }
    bool Has(PendingReply r) const { return (bits_ & Bit(r)) != 0; }
    bool Empty() const { return bits_ == 0; }
    // The first pending reply in serving order (Empty() must be false).
    PendingReply Next() const {
        int i = 0;
        while (!(bits_ & (1u << i))) ++i;
        return static_cast<PendingReply>(i);
    }

private:
    static std::uint8_t Bit(PendingReply r) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(r));
    }
    std::uint8_t bits_ = 0;
};

// What the classifier made of a command whose reply the same VazS reads.
enum class SameCallReply {
    None,
    AreaRead,   // I 2, I 7
    CurveRead,  // I 6
    ValueRead,  // I 4
    I5,         // I 5
    X0,         // X 0
    X1,         // X 1
    // The reply is left for VazG (WordRead, ByteRead); a refused exchange
    // takes the mark back.
    I1,  // I 1
    I3,  // I 3
};

// ---------------------------------------------------------------------------
class CVazDevice {
public:
    static constexpr int kBlockReadBufferSize = 5000;
    static constexpr int kTextSize = 260;
    // The serial identification text is stored up to this many characters
    // (hosts pass 65-byte buffers); the rest up to "/" is read and dropped.
    static constexpr int kMaxIdentificationChars = 64;

    CVazDevice();
    ~CVazDevice();  // frees the blocks, leaves print mode when it is on
    CVazDevice(const CVazDevice&) = delete;
    CVazDevice& operator=(const CVazDevice&) = delete;

    // ---- fields ----------------------------------------------------------
    std::unique_ptr<CVazLink> link;
    bool online = false;
    VazError error;
    int deviceType = 0;
    int readMode = 0;
    std::atomic<bool> stop{false};

    PendingReplies pending;  // set by the classifier, served by FetchReply
    // A receive since the last send ended before its bytes came (serial: the
    // time-outs expired; USB: a report did not come, or the device is gone).
    // Later receives of the same reply then deliver zeros at once, so a
    // reader that falls silent costs one time-out per command, not one per
    // element.
    bool readerSilent = false;

    bool printMode = false;
    bool lowerCaseDownload = false;  // last format command was "s"
    char channel = 'A';              // third character of the last "r" with numbers

    // command parameters
    int blockStart = 0;     // "r" start
    int blockCount = 0;     // "r" count
    int areaKind = 0;       // I 2 / I 7: 2 or 7
    int areaLimitArg = 0;   // I 2's second number (size limit = 50 x this)
    int curveSelector = 0;  // I 6's second number
    int i5Values[2] = {0, 0};

    // format download state
    bool fLine = false;                 // the last format had an "f" command and no ordinary one after it
    int fNumbers[5] = {0, 0, 0, 0, 0};  // p1..p5 of that "f" line (p5 = "G/" byte count)
    bool tLine = false;                 // the last format had a "T" command

    DataBlock blockA;                         // I 4, I 6, X 2 data; raw data of I 2 / I 7
    DataBlock blockB;                         // gray data of I 2 / I 7
    std::unique_ptr<char[]> blockReadBuffer;  // kBlockReadBufferSize bytes, or null
    char storedReadCommand[10] = {};
    char identification[kTextSize] = {};
    char cardCounter[kTextSize] = {};

    // ---- transfer layer (protocol.cpp) --------------------------------------
    // Hands n bytes to the link; result USB 0/4 (-1 failure, -255 gone),
    // serial 1 (-1 when the port failed), no link 0 (after the "error 1024"
    // box).
    int SendRaw(const void* bytes, int n);
    int SendRaw(const char* text);
    // Receives one reply element of n bytes; dest gets a zero at position n
    // and zeros where nothing came. Never writes more than n + 1 bytes.
    // Result: USB the last report read's result, serial the byte count, no
    // link 0. n <= 0 receives nothing (on USB its report). After
    // readerSilent is set, receives nothing and waits for nothing.
    int ReceiveRaw(void* dest, int n);
    // Reset error, send, receive a status, parse, no-card retry by read mode.
    bool Exchange(const void* bytes, int n);
    bool Exchange(const char* text);
    // Status word -> error state; VAZ_CODE_COMMUNICATION + USB recovery for garbled.
    bool ParseStatus(const char* twoBytes);
    // ReceiveRaw 2 bytes + ParseStatus.
    bool ReceiveStatus();
    // Receives a 4-byte length field into `raw` (5 bytes: field + zero) and
    // returns its value, or -1 when it is not four ASCII digits.
    int ReceiveLengthField(char raw[5]);
    // The length field that opens a data block: its count, or -1 with the
    // code in the error state. A field of two characters or fewer is a
    // status in its place (the reader's code; a garbled one with the USB
    // recovery); "EN" there, or any other field that is not four digits, is
    // a bad reply.
    int ReceiveBlockLength();
    // Sets the error code (pending) and returns false: VAZ_CODE_COMMUNICATION
    // for a reply that does not fit its buffer or is malformed.
    bool Fail(const char* code = VAZ_CODE_COMMUNICATION);
    // Behind VazSG. `ok` (optional) tells whether the final status was "EN".
    int SendAndGet(const char* command, char* buffer, bool* ok = nullptr);
    // The link kind when the reader answered the handshake, else None.
    LinkKind Handshake();
    bool Identify();
    int Init(int mode);  // VazInit
    void SetStop();      // VazSetStop

    // ---- dispatcher (dispatcher.cpp) ----------------------------------------
    int SendCommand(const char* command);  // VazS after the gate
    int FetchReply(char* buffer);          // VazG after the gate
    int SendPrintPieces(const unsigned char* text, int length);

    // ---- settings (settings.cpp) ---------------------------------------------
    bool GetDevInfo(int kind, char* buffer);  // kind: VAZ_DEV_INFO_*
    int SetReadMode(int mode);
    bool SetPrintMode(bool on);
    bool LeavePrintMode();

    // ---- card reading (format_download.cpp, block_read.cpp) -----------------
    // The format download behind VazS "S path/" / "s path/": true when the
    // closing "EN/" was accepted. Uses lowerCaseDownload, sets fLine,
    // fNumbers, tLine.
    bool FormatDownload(const std::string& path);
    // FetchReply rule 4: block read "r %c %04d %04d/" (+ "G/" supplement)
    // into `buffer`; the BlockRead reply is served. Result: length placed, 0 on failure.
    int BlockRead(char* buffer);
    // FetchReply rule 2: exchanges storedReadCommand, reads 4 bytes and a
    // status, puts the 4 bytes as text into `buffer` (5 bytes); the
    // StoredRead reply is served; returns 4.
    int StoredRead(char* buffer);

    // ---- test-mode data (test_data.cpp) -----------------------------------
    int SetTest(int first, int second);       // VazSetTest after the gate
    void ValueRead(const char* command);      // I 4 into blockA
    int AreaRead(const char* command);        // I 2 / I 7 into blockA, blockB (areaKind, areaLimitArg)
    void CurveRead(int k);                    // I 6 into blockA
    int GetValue(char channel, int* values);  // VazGetValue after the gate
    int GetOriOrGray(char which, int* values);
    int GetCurve(int* values);

private:
    void UsbRecovery();
    // A reply was not read as sent: the rest of it is let in and dropped
    // before the next command, on either link.
    void DrainReply();
    int AreaReadSteps(const char* command);  // AreaRead without the cleanup
    // Sets the command parameters and the replies left for VazG; returns
    // the reply the same call reads.
    SameCallReply Classify(const char* command, char letter);
};

// The one device context (exists between load and unload of the library).
CVazDevice& TheDevice();
