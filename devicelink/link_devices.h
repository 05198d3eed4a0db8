// The two link devices of CVazLink: the USB HID reader and the serial port.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "vaz.h"
#include "vazplatform/hid.h"
#include "vazplatform/serial.h"

// The reader on USB: vendor VAZ_USB_VENDOR, product VAZ_USB_PRODUCT, found
// among the hidraw nodes and then the virtual devices of VAZ_HID_DEVICES
// (first match wins).
class CHidDevice {
public:
    // The reader's ids; also what a virtual device entry stands for unless
    // it says otherwise.
    static constexpr vazplat::HidAttributes kReaderIds{VAZ_USB_VENDOR, VAZ_USB_PRODUCT, 0x0100};
    static constexpr int kWaitMs = 2000;  // bound of every report read and write

    // Transfer results (they reach hosts through VazS "T ..." and the trace).
    static constexpr int kWritten = 0;            // the report went out
    static constexpr int kWriteStillPending = 4;  // not out within the wait
    static constexpr int kFailed = -1;            // a system error (its box was shown)
    static constexpr int kGone = -255;            // the device is gone
    static constexpr int kNothingCame = 65;       // a read found no report within the wait

    CHidDevice();
    ~CHidDevice();

    // Discovery + report lengths. True when a reader is open.
    bool Open();
    void CloseHandle();
    bool HandleValid() const { return device_ && device_->IsOpen(); }

    // kWritten, kWriteStillPending, kFailed or kGone.
    int WriteReport(const unsigned char* payload, int length);
    // Bytes reported (kNothingCame: zeros), kGone (zeros), kFailed (nothing
    // copied).
    int ReadReport(unsigned char* dest, int count);
    // n bytes in 64-byte reports; result of the last write tried (the first
    // one that did not go out ends the send). Reports still waiting from an
    // earlier reply are discarded first, as the serial port purges its
    // input, so that they are not read as this command's reply.
    int Send(const unsigned char* bytes, int n);
    // The last reply could not be read as sent (code 18): the next Send
    // first lets the rest of it arrive and drops it (until no report has
    // come for kQuietMs, at most kDrainCapMs), as the serial link does; the
    // discard alone drops only what has come, and a slow reader's last
    // reports would be read as the next command's reply.
    void DrainBeforeNextSend() { drainBeforeSend_ = true; }
    static constexpr int kQuietMs = 100;
    static constexpr int kDrainCapMs = 10000;
    // n bytes from ceil(n / 64) reports (each element starts on a new
    // report); dest gets at most n bytes and a zero at n. The first report
    // that does not come within the wait (or a vanished device) ends the
    // receive: at most one wait of kWaitMs on a silent reader.
    int Receive(unsigned char* dest, int n);

    const std::string& path() const { return path_; }
    // The last Receive ended early: a report did not come, the device is
    // gone or the read failed.
    bool lastReceiveSilent() const { return lastReceiveSilent_; }
    int inputLength() const { return inputLength_; }
    int outputLength() const { return outputLength_; }

private:
    // The first reader among the HID devices, opened; null when none.
    static std::unique_ptr<vazplat::HidHandle> Discover();
    void DiscardWaitingInput();
    void DrainLateReports();

    bool drainBeforeSend_ = false;
    std::unique_ptr<vazplat::HidHandle> device_;
    std::string path_;
    unsigned char report_[256] = {};
    int inputLength_ = 65;
    int outputLength_ = 65;
    bool reportCame_ = false;  // the last ReadReport got a report
    bool lastReceiveSilent_ = false;
};

// A serial port COM1..COM5 with the reader's line settings (115200 8E1).
class CSerialPort {
public:
    static constexpr int kBaud = 115200;
    static constexpr int kIntervalMs = 1000;  // between two bytes of a read
    static constexpr int kTotalConstantMs = 1000;
    static constexpr int kTotalPerByteMs = 1000;
    // No read or write of the port takes longer, whatever its byte count: a
    // reader that has fallen silent fails the transfer within 10 s (the
    // longest reply, 9,999 bytes, needs under 1 s at 115200 baud).
    static constexpr int kTotalCapMs = 10000;
    // Time-out of an n-byte read or write.
    static constexpr int TotalMs(int n) {
        return n >= (kTotalCapMs - kTotalConstantMs) / kTotalPerByteMs ? kTotalCapMs
                                                                       : kTotalConstantMs + kTotalPerByteMs * n;
    }

    CSerialPort();
    virtual ~CSerialPort();

    bool Open(int portNumber);
    // Writes bytesToWrite bytes of the write buffer and returns once they
    // have left the host. Unread input is purged first; output never is, so
    // a command written earlier is not thrown away on its way. False when
    // the port failed (hung up, gone); bytes still queued after the time-out
    // are not a failure.
    bool Write();
    // Reads n bytes (fewer when the time-outs expire); the count read.
    int Read(unsigned char* dest, int n);
    // The last reply could not be read as sent (code 18): the next Write
    // first lets the rest of it arrive and drops it (until the line has been
    // quiet for kQuietMs, at most kTotalCapMs), so that it is not taken for
    // the next command's reply. A purge alone drops only what has come.
    void DrainBeforeNextWrite() { drainBeforeWrite_ = true; }
    static constexpr int kQuietMs = 100;
    void SignalShutdown() { shutdown_ = true; }
    bool ShutdownSignalled() const { return shutdown_; }

    int bytesToWrite = 0;
    std::vector<unsigned char> writeBuffer;  // 1024 bytes, grown for a longer command
    int writeBufferSize = 1024;
    int portNumber = 0;
    std::string path;

private:
    void ErrorBox(const char* step, int error);

    vazplat::SerialFd port_;
    std::mutex lock_;  // held around every port operation
    std::atomic<bool> shutdown_{false};
    int monitorAlive_ = 0;  // no monitor thread is ever started
    bool drainBeforeWrite_ = false;
};
