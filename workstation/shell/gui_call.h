// Running a piece of work on the GUI thread from any thread and handing its
// result back. On the GUI thread the work runs directly: a blocking queued
// call from the GUI thread to itself would wait for ever.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <type_traits>
#include <utility>

inline bool onGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// Runs `work` on the GUI thread and returns what it returned. The calling
// worker waits; the GUI thread serves it from its event loop (also from a
// join that waits for this worker, see CFormWorker::join).
template <typename Work>
auto runOnGuiThread(Work&& work) -> std::invoke_result_t<Work> {
    using Result = std::invoke_result_t<Work>;
    if (onGuiThread()) return work();
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::forward<Work>(work),
                                  Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { result = work(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}
