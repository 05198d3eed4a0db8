#include "gui_call.h"

#include <QMetaObject>
#include <QPointer>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace guicall {
namespace {

struct Waiter {
    bool taken = false;  // the GUI thread has it (and may be inside it, in a box)
    bool done = false;
};

struct Job {
    QPointer<QObject> context;
    bool needsContext = false;
    std::function<void()> run;
    Waiter* waiter = nullptr;
};

std::mutex mutex;
std::condition_variable jobDone;
std::deque<Job> jobs;

// GUI thread: runs every job handed over, in turn. A job's own event loop (a
// message box) may run this again for the jobs after it.
void runJobs() {
    for (;;) {
        Job job;
        {
            std::lock_guard lock(mutex);
            if (jobs.empty()) return;
            job = std::move(jobs.front());
            jobs.pop_front();
            if (job.waiter) job.waiter->taken = true;
        }
        if (job.needsContext && !job.context) continue;
        job.run();
        if (!job.waiter) continue;
        {
            std::lock_guard lock(mutex);
            job.waiter->done = true;
        }
        jobDone.notify_all();
    }
}

// The wake-up carries nothing: a lambda without captures.
void wake(QCoreApplication* app, Qt::ConnectionType type) {
    QMetaObject::invokeMethod(app, [] { runJobs(); }, type);
}

}  // namespace

void post(QObject* context, std::function<void()> job) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    {
        std::lock_guard lock(mutex);
        jobs.push_back({context, context != nullptr, std::move(job)});
    }
    wake(app, Qt::QueuedConnection);
}

bool runAndWait(std::function<void()> job) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    Waiter waiter;
    {
        std::lock_guard lock(mutex);
        jobs.push_back({{}, false, std::move(job), &waiter});
    }
    wake(app, Qt::BlockingQueuedConnection);
    std::unique_lock lock(mutex);
    if (!waiter.taken) {  // the wake-up was dropped undelivered: the application is going away
        std::erase_if(jobs, [&](const Job& j) { return j.waiter == &waiter; });
        return false;
    }
    // Taken by an earlier wake-up that may still be inside another job's box.
    jobDone.wait(lock, [&] { return waiter.done; });
    return true;
}

}  // namespace guicall
