// Background work of a form: one worker thread per run, stopped by a flag,
// joined without blocking the GUI thread's events.
//
//     CFormWorker sampler_{theApp()->testRun};       // a member of the form
//     sampler_.start([this] { while (sampler_.keepGoing()) ...; },
//                    [this] { button_->setText(...); });  // ended, GUI thread
//
// The worker never touches a widget: it hands its updates to the GUI thread
// with post() (or a CUpdateBatch when it produces faster than a screen can
// show), and asks it for message boxes through ShowMessage/ShowDeviceError.
// A worker's form closes, and the program quits, only after the worker has
// ended: CFormView and CMainFrame defer their close until then.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CFormWorker : public QObject {
    Q_OBJECT
public:
    // `runFlag`: the application's flag that keeps the run going (the
    // test-run flag, the card-reading flag). start() sets it, stop() clears
    // it, and whoever else clears it ends the run too.
    explicit CFormWorker(std::atomic<int>& runFlag, QObject* parent = nullptr);
    // Stops the worker and waits for it (serving events).
    ~CFormWorker() override;

    // Sets the flag and runs `body` on a new thread; `ended` runs on the
    // GUI thread once the thread is gone. False, and nothing started, while
    // the previous run's thread still lives.
    bool start(std::function<void()> body, std::function<void()> ended = {});
    // True from start() until the thread has ended and been joined.
    bool running() const { return thread_.joinable(); }
    // For the worker's loop: the flag is still set.
    bool keepGoing() const { return flag_.load() != 0; }

    // Clears the flag and, with `endRetry`, calls VazSetStop so that a
    // no-card retry the worker waits in ends after its current exchange.
    // Any thread.
    void stop(bool endRetry = true);
    // GUI thread: returns once the worker has ended, serving events while
    // it waits, so a worker inside a message box can finish.
    void join();

    // Runs `update` on the GUI thread, after everything posted before it;
    // dropped when this object is gone by then. Any thread.
    void post(std::function<void()> update);

    // Every worker of the program (GUI thread).
    static bool anyRunning();
    static void stopAll();
    static void stopAndJoinAll();
    // Runs `then` on the GUI thread once no worker runs any more (at once
    // when none does); dropped when `context` is gone by then.
    static void whenAllEnded(QObject* context, std::function<void()> then);

signals:
    // The thread has ended and been joined (GUI thread).
    void finished();

private:
    void reap();

    std::atomic<int>& flag_;
    std::thread thread_;
    std::atomic<bool> done_{false};
    std::function<void()> ended_;
};

// Updates a worker produces faster than they are worth showing one by one
// (a sampler's rows): pushed from the worker, delivered to the GUI thread in
// batches. At most one delivery waits in the queue; it takes everything
// pushed until it runs, in order, so nothing is lost and the GUI thread
// handles one event per batch instead of one per item.
template <typename T>
class CUpdateBatch {
public:
    // `receiver` lives on the GUI thread and owns the batch (it is a member
    // of the form); deliveries still queued when it goes are dropped.
    CUpdateBatch(QObject* receiver, std::function<void(std::vector<T>&)> apply)
        : receiver_(receiver), apply_(std::move(apply)) {}

    // Any thread.
    void push(T item) {
        std::lock_guard<std::mutex> hold(mutex_);
        items_.push_back(std::move(item));
        if (posted_) return;
        posted_ = true;
        QMetaObject::invokeMethod(receiver_, [this] { deliver(); }, Qt::QueuedConnection);
    }

    // GUI thread: applies what waits now (a worker's end calls it so that
    // nothing is left behind).
    void deliver() {
        std::vector<T> items;
        {
            std::lock_guard<std::mutex> hold(mutex_);
            items.swap(items_);
            posted_ = false;
        }
        if (!items.empty()) apply_(items);
    }

private:
    QObject* receiver_;
    std::function<void(std::vector<T>&)> apply_;
    std::mutex mutex_;
    std::vector<T> items_;
    bool posted_ = false;
};
