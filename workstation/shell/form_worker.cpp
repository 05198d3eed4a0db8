#include "form_worker.h"

#include <QCoreApplication>
#include <QPointer>
#include <algorithm>

#include "pendra_app.h"

namespace {

// Both lists are the GUI thread's.
std::vector<CFormWorker*>& workers() {
    static std::vector<CFormWorker*> w;
    return w;
}

struct Waiter {
    QPointer<QObject> context;
    std::function<void()> then;
};

std::vector<Waiter>& waiters() {
    static std::vector<Waiter> w;
    return w;
}

void runWaiters() {
    if (CFormWorker::anyRunning()) return;
    std::vector<Waiter> due;
    due.swap(waiters());
    for (Waiter& w : due)
        if (w.context) w.then();
}

}  // namespace

CFormWorker::CFormWorker(std::atomic<int>& runFlag, QObject* parent) : QObject(parent), flag_(runFlag) {}

CFormWorker::~CFormWorker() {
    if (running()) {
        stop();
        join();
    }
}

bool CFormWorker::start(std::function<void()> body, std::function<void()> ended) {
    if (running()) return false;
    ended_ = std::move(ended);
    done_ = false;
    flag_ = 1;
    workers().push_back(this);
    thread_ = std::thread([this, body = std::move(body)] {
        body();
        done_ = true;
        // Also what wakes a join that waits for this.
        QMetaObject::invokeMethod(this, [this] { reap(); }, Qt::QueuedConnection);
    });
    return true;
}

void CFormWorker::stop(bool endRetry) {
    flag_ = 0;
    if (!endRetry) return;
    if (CPendraApp* app = theApp()) app->device.setStop();
}

void CFormWorker::join() {
    while (running() && !done_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    reap();
}

void CFormWorker::reap() {
    if (!thread_.joinable() || !done_) return;
    thread_.join();  // the body has returned: this takes no time
    std::erase(workers(), this);
    if (auto ended = std::move(ended_)) ended();
    emit finished();
    runWaiters();
}

void CFormWorker::post(std::function<void()> update) {
    QMetaObject::invokeMethod(this, std::move(update), Qt::QueuedConnection);
}

bool CFormWorker::anyRunning() {
    return !workers().empty();
}

void CFormWorker::stopAll() {
    for (CFormWorker* w : workers()) w->stop();
}

void CFormWorker::stopAndJoinAll() {
    stopAll();
    while (!workers().empty()) workers().front()->join();
}

void CFormWorker::whenAllEnded(QObject* context, std::function<void()> then) {
    waiters().push_back({context, std::move(then)});
    runWaiters();
}
