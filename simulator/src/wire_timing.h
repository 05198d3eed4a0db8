// How the transports time what crosses a link: the late-reading reader's
// input queue and the pacing at wire speed.
#pragma once

#include <poll.h>
#include <sys/prctl.h>
#include <time.h>

#include <chrono>
#include <cstddef>
#include <deque>
#include <string>
#include <thread>

namespace vazsim {

using WireClock = std::chrono::steady_clock;

// One direction of a link at wire speed: each transfer starts when the one
// before it has crossed, and takes its units (bytes or reports) times the
// time of one unit.
class WirePacer {
public:
    // The moment a transfer of `units`, ready at `ready`, has crossed.
    WireClock::time_point pass(WireClock::time_point ready, std::chrono::nanoseconds unit, std::size_t units) {
        if (free_ < ready) free_ = ready;
        free_ += unit * static_cast<long>(units);
        return free_;
    }
    void reset() { free_ = {}; }

private:
    WireClock::time_point free_{};
};

inline void sleepUntil(WireClock::time_point t) {
    std::this_thread::sleep_until(t);
}

// A transport thread wakes at its wire moments with the timer's precision,
// not the default slack of 50 us a wake.
inline void preciseWakeUps() {
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

// What the host sent that the reader has not read yet, each chunk with the
// moment the reader takes it.
class InputQueue {
public:
    void push(WireClock::time_point due, std::string bytes) { chunks_.push_back({due, std::move(bytes)}); }
    // Bytes still on their way are lost (a purge of the host's output).
    void discard() { chunks_.clear(); }
    bool empty() const { return chunks_.empty(); }
    // The next chunk whose moment has come, or false.
    bool popDue(std::string& bytes) {
        if (chunks_.empty() || chunks_.front().due > WireClock::now()) return false;
        bytes = std::move(chunks_.front().bytes);
        chunks_.pop_front();
        return true;
    }
    // Waits on `fds` like poll(), but at most until the next chunk is due
    // (to the nanosecond: a millisecond time-out would add up to a report's
    // time to every one).
    int poll(pollfd* fds, nfds_t n) const {
        if (chunks_.empty()) return ::ppoll(fds, n, nullptr, nullptr);
        auto left = chunks_.front().due - WireClock::now();
        if (left < WireClock::duration::zero()) left = WireClock::duration::zero();
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        return ::ppoll(fds, n, &ts, nullptr);
    }

private:
    struct Chunk {
        WireClock::time_point due;
        std::string bytes;
    };
    std::deque<Chunk> chunks_;
};

}  // namespace vazsim
