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
#include <cstddef>
#include <functional>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#include "gui_call.h"

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
// batches, in order, nothing lost. At most one delivery waits in the queue;
// it takes what was pushed until it runs, at most `maxPerDelivery` items, and
// queues the next delivery for the rest, so the GUI thread handles one event
// per batch instead of one per item and never one endless batch.
template <typename T>
class CUpdateBatch {
public:
    // `receiver` lives on the GUI thread and owns the batch (it is a member
    // of the form); deliveries still queued when it goes are dropped.
    CUpdateBatch(QObject* receiver, std::function<void(std::vector<T>&)> apply, std::size_t maxPerDelivery = 0)
        : receiver_(receiver), apply_(std::move(apply)), max_(maxPerDelivery) {}

    // Any thread.
    void push(T item) {
        std::lock_guard<std::mutex> hold(mutex_);
        items_.push_back(std::move(item));
        postLocked();
    }

    // Items pushed and not yet applied (any thread): a producer that is far
    // ahead of the screen waits for this to shrink.
    std::size_t waiting() const {
        std::lock_guard<std::mutex> hold(mutex_);
        return items_.size();
    }

    // GUI thread: applies what waits now, all of it with `all` (a worker's
    // end calls it so that nothing is left behind).
    void deliver(bool all = false) {
        std::vector<T> items;
        {
            std::lock_guard<std::mutex> hold(mutex_);
            posted_ = false;
            if (all || max_ == 0 || items_.size() <= max_) {
                items.swap(items_);
            } else {
                items.assign(std::make_move_iterator(items_.begin()),
                             std::make_move_iterator(items_.begin() + std::ptrdiff_t(max_)));
                items_.erase(items_.begin(), items_.begin() + std::ptrdiff_t(max_));
                postLocked();
            }
        }
        if (!items.empty()) apply_(items);
    }

private:
    void postLocked() {
        if (posted_) return;
        posted_ = true;
        guicall::post(receiver_, [this] { deliver(); });
    }

    QObject* receiver_;
    std::function<void(std::vector<T>&)> apply_;
    std::size_t max_;
    mutable std::mutex mutex_;
    std::vector<T> items_;
    bool posted_ = false;
};
