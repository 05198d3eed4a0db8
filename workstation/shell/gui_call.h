// Handing work to the GUI thread from any thread: posted to run there later,
// or run there while the caller waits for its result. On the GUI thread the
// waiting kind runs directly: a blocking queued call from the GUI thread to
// itself would wait for ever.
//
// The work and its result cross threads in a queue under a std::mutex; Qt's
// queued call only wakes the GUI thread and carries no data. Qt's own locks
// and event queue are invisible to the thread sanitizer (the tsan preset),
// which would otherwise see everything a lambda carried across as a race.
#pragma once

#include <QCoreApplication>
#include <QThread>
#include <functional>
#include <type_traits>

inline bool onGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

namespace guicall {

// Runs `job` on the GUI thread after everything handed over before it;
// dropped when `context` is gone by then, or when no application runs.
void post(QObject* context, std::function<void()> job);

// Runs `job` on the GUI thread and returns once it has run (not from the GUI
// thread). False when it never ran: the application went away first.
bool runAndWait(std::function<void()> job);

}  // namespace guicall

// Runs `work` on the GUI thread and returns what it returned. The calling
// worker waits; the GUI thread serves it from its event loop (also from a
// join that waits for this worker, see CFormWorker::join). When the
// application goes away first, a default result.
template <typename Work>
auto runOnGuiThread(Work&& work) -> std::invoke_result_t<Work> {
    using Result = std::invoke_result_t<Work>;
    if (onGuiThread()) return work();
    if constexpr (std::is_void_v<Result>) {
        guicall::runAndWait([&] { work(); });
    } else {
        Result result{};
        guicall::runAndWait([&] { result = work(); });
        return result;
    }
}
