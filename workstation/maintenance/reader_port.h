// What the workstation's device logic needs of the reader: send a command,
// fetch its reply. The dialogs bind it to the device function table; the
// logic behind them (calibration, motor settings, the project run) is written
// against this interface only, so it runs on any thread and without widgets.
#pragma once

#include <cstddef>

class ReaderPort {
public:
    // Room for any reply text VazG delivers: a block read of up to 9999
    // bytes with its supplement and terminator.
    static constexpr std::size_t kReplyBufferSize = 10000;

    virtual ~ReaderPort() = default;
    // The application's connected flag.
    virtual bool connected() const = 0;
    // VazS: above 0 accepted, 0 refused (the code waits in the error state),
    // -1 no reader connected.
    virtual int send(const char* command) = 0;
    // VazG into a buffer of kReplyBufferSize bytes: the reply's length, or 0
    // (or less) when nothing was delivered.
    virtual int get(char* buffer) = 0;
    // Ends a no-card retry the reader may be waiting in (VazSetStop); may be
    // called from any thread.
    virtual void interrupt() {}
    // Keep every other caller away from the reader between a command and the
    // fetch of its reply; a port without other callers needs nothing.
    virtual void holdReader() {}
    virtual void releaseReader() {}

    // Holds the reader for its scope.
    class Hold {
    public:
        explicit Hold(ReaderPort& port) : port_(port) { port_.holdReader(); }
        ~Hold() { port_.releaseReader(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        ReaderPort& port_;
    };
};
